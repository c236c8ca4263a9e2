// Parsing a JSON text (comments allowed) while noting where each object and
// array begins, so that messages about a group file can say where.
#pragma once

#include <nlohmann/json.hpp>

#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/declarations.h"

namespace kelbrin {

// The lines of a text, to turn byte offsets into lines and columns.
class LineTable {
  public:
    explicit LineTable(std::string_view text);
    TextPosition at(std::size_t offset) const;

  private:
    std::vector<std::size_t> starts_;
};

class LocatedJson {
  public:
    // Throws nlohmann::json::exception for a text that is not JSON.
    explicit LocatedJson(std::string_view text);
    const nlohmann::ordered_json &document() const { return document_; }
    // Where an object or array of the document begins; {} for other values.
    TextPosition where(const nlohmann::ordered_json &value) const;

  private:
    nlohmann::ordered_json document_;
    LineTable lines_;
    // The offset of each object's and array's opening bracket, by the
    // address of its value in the document.
    std::unordered_map<const void *, std::size_t> starts_;
};

} // namespace kelbrin
