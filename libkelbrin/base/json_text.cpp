#include "base/json_text.h"

#include <nlohmann/json.hpp>

#include <cstdint>

namespace kelbrin {

namespace {

constexpr char hexDigits[] = "0123456789abcdef";
// Longest piece of a text quoted in a message, in bytes.
constexpr std::size_t maxQuotedBytes = 60;

int hex_value(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

// Well-formed UTF-8 as JSON parsers take it: no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool is_valid_utf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
        if (length == 0 || byte > 0xF4 || i + length > text.size())
            return false;
        uint32_t point = byte & (0x3F >> (length - 1));
        for (std::size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            point = point << 6 | (next & 0x3F);
        }
        if ((length == 3 && point < 0x800) ||
            (length == 4 && (point < 0x10000 || point > 0x10FFFF)) ||
            (point >= 0xD800 && point <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

void append_json_string(std::string &out, std::string_view text, bool allShortEscapes) {
    out += '"';
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (allShortEscapes && (c == '\b' || c == '\f' || c == '\r')) {
            out += '\\';
            out += c == '\b' ? 'b' : c == '\f' ? 'f' : 'r';
        } else if (byte < 0x20) {
            out += "\\u00";
            out += hexDigits[byte >> 4];
            out += hexDigits[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

std::string shortened(std::string text) {
    if (text.size() <= maxQuotedBytes)
        return text;
    std::size_t cut = maxQuotedBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut) + "...";
}

std::string quoted_for_message(std::string_view text) {
    return shortened(
        nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

std::string hex_of(std::string_view bytes) {
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (char c : bytes) {
        hex += hexDigits[static_cast<unsigned char>(c) >> 4];
        hex += hexDigits[static_cast<unsigned char>(c) & 0xF];
    }
    return hex;
}

std::optional<std::string> bytes_of_hex(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int high = hex_value(hex[i]), low = hex_value(hex[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high << 4 | low);
    }
    return bytes;
}

} // namespace kelbrin
