// The entries of a listing, read once when the listing starts: parameters
// with their values, or child groups. The reads that follow each parameter
// need no query of their own.
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
    Group,   // a child group, no value
};

struct ListedEntry {
    std::string_view shortName; // the full name's last component
    ListedKind kind;
    std::string_view value;
};

// Each group's name once, then its entries' last name components and values,
// packed with their lengths in blocks that are never moved: a listing of
// 100,000 parameters costs little more than their bytes, and grows without
// copying. Full names are split at their last dot, so that each comes back
// byte for byte whatever case its group was declared in.
class ListingEntries {
  public:
    void add(std::string_view fullName, ListedKind kind, std::string_view value);

    // The next entry, front to back, and the full name of the group it is
    // in; false once every entry has been read.
    bool next(std::string_view &group, ListedEntry &entry);

  private:
    // Returns where the record's first text was placed.
    const char *append(uint8_t kind, std::string_view first, std::string_view second);
    char *reserve(std::size_t bytes);
    void add_block(std::size_t bytes);

    std::vector<std::unique_ptr<char[]>> blocks_;
    std::vector<std::size_t> blockUsed_;
    std::size_t freeInLast_ = 0;
    std::string_view lastGroup_; // in a block, so it stays valid
    std::size_t readBlock_ = 0;
    std::size_t readOffset_ = 0;
    std::string_view readGroup_;
};

} // namespace kelbrin
