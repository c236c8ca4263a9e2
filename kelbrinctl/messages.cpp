#include "kelbrinctl/messages.h"

#include <algorithm>
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

void print_problems(const std::string &file, std::vector<kelbrin::Problem> problems) {
    std::stable_sort(problems.begin(), problems.end(), [](const auto &a, const auto &b) {
        return std::pair(a.where.line, a.where.column) < std::pair(b.where.line, b.where.column);
    });
    for (const kelbrin::Problem &problem : problems) {
        std::string line = file + kelbrin::place_suffix(problem.where) + ": ";
        if (!problem.subject.empty())
            line += problem.subject + ": ";
        print_line(line + problem.cause);
    }
}

} // namespace kelbrinctl
