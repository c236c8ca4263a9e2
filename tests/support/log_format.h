// The line logs that the test double and the capture preload write: texts
// with C escapes, so every byte a program passes shows and each call stays
// one line.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace test_logs {

// \\ \" \n \r \t, and \xNN for the other bytes below 0x20 or from 0x7f.
inline std::string c_escaped(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (unsigned char byte : text) {
        switch (byte) {
        case '\\':
            escaped += "\\\\";
            break;
        case '"':
            escaped += "\\\"";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            if (byte < 0x20 || byte >= 0x7f) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02x", byte);
                escaped += hex;
            } else {
                escaped += static_cast<char>(byte);
            }
        }
    }
    return escaped;
}

// The text in double quotes, or NULL for a null pointer.
inline std::string quoted(const char *text) {
    return text == nullptr ? "NULL" : "\"" + c_escaped(text) + "\"";
}

// Appends the line to the file named by the environment variable, if set,
// with one write so that lines from any exit path stay whole.
inline void append_line(const char *variable, const std::string &line) {
    const char *path = std::getenv(variable);
    if (path == nullptr)
        return;
    int descriptor = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (descriptor < 0)
        return;
    std::string whole = line + "\n";
    ssize_t written = write(descriptor, whole.data(), whole.size());
    (void)written; // a test reading the log sees what is missing
    close(descriptor);
}

} // namespace test_logs
