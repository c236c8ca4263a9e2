#include "messages.h"

#include <cstdio>

namespace kelbrinctl {

std::string printable(std::string_view text) {
    std::string shown;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

void print_line(std::string_view line) {
    std::string text = printable(line) + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
}

} // namespace kelbrinctl
