// The parameters of a listing with their values, read once when the listing
// starts, so that the reads that follow each entry need no query of their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kelbrin {

enum class ListedKind : uint8_t {
    Plain,   // the value is the parameter's text
    Complex, // the value is the stored tree
    Mapped,  // no value kept: a read follows the mapping itself
};

struct ListedParameter {
    std::string_view shortName;
    ListedKind kind;
    std::string_view value;
};

// Each group's name once, then its parameters' last name components and
// values, packed with their lengths in blocks that are never moved: a listing
// of 100,000 parameters costs little more than their bytes, and grows
// without copying.
class ParameterListing {
  public:
    // The parameters added from now on belong to this group.
    void enter_group(std::string_view fullName);
    void add(std::string_view shortName, ListedKind kind, std::string_view value);

    // The next parameter, front to back, and its group's full name; false
    // once every parameter has been read.
    bool next(std::string_view &group, ListedParameter &parameter);

  private:
    void append(uint8_t kind, std::string_view first, std::string_view second);
    char *reserve(std::size_t bytes);

    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::size_t> blockUsed_;
    std::size_t freeInLast_ = 0;
    std::size_t readBlock_ = 0;
    std::size_t readOffset_ = 0;
    std::string_view readGroup_;
};

} // namespace kelbrin
