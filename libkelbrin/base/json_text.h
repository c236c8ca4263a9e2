// Writing texts into JSON documents, and the hex form of texts that JSON
// cannot carry (bytes that are not UTF-8).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kelbrin {

bool is_valid_utf8(std::string_view text);

// Appends the UTF-8 text as a JSON string, in double quotes. Control bytes
// but newline and tab are written \u00xx; with allShortEscapes, backspace,
// form feed and carriage return are \b, \f and \r, as the JSON library
// writes them (the stored form of a tree).
void append_json_string(std::string &out, std::string_view text, bool allShortEscapes = false);

// A text cut to at most 60 bytes (at a character's start), "..." marking a cut.
std::string shortened(std::string text);
// A text as JSON writes it (bytes that are not UTF-8 replaced), shortened.
std::string quoted_for_message(std::string_view text);

// Two lower-case hex digits a byte, and back; none for anything but pairs
// of hex digits.
std::string hex_of(std::string_view bytes);
std::optional<std::string> bytes_of_hex(std::string_view hex);

} // namespace kelbrin
