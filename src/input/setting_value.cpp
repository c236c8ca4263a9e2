#include "input/setting_value.h"

#include <cstdlib>
#include <cstring>

static bool is_white_space(char c) { return c != '\0' && std::strchr(" \t\n\v\f\r", c) != nullptr; }

// Copies [start, end) to out, converting "\n" to a newline, dropping two
// backslashes with the character after them (the newline of a continued
// line), and dropping a lone backslash but keeping the character after it.
static char *convert_escapes(const char *start, const char *end, char *out) {
    while (start < end) {
        if (*start != '\\') {
            *out++ = *start++;
        } else if (start + 1 == end) {
            break; // a backslash that ends the value
        } else if (start[1] == 'n') {
            *out++ = '\n';
            start += 2;
        } else if (start[1] == '\\') {
            start += start + 2 < end ? 3 : 2;
        } else {
            *out++ = start[1];
            start += 2;
        }
    }
    return out;
}

char *convert_setting_value(const char *text, bool convertEscapes) {
    const char *start = text + std::strspn(text, " \t");
    if (*start == '"')
        start++;
    const char *end = start + std::strlen(start);
    while (end > start && is_white_space(end[-1]))
        end--;
    if (end > start && end[-1] == '"')
        end--;
    char *value = static_cast<char *>(std::malloc(end - start + 1));
    if (value == nullptr)
        return nullptr;
    char *valueEnd;
    if (convertEscapes) {
        valueEnd = convert_escapes(start, end, value);
    } else {
        std::memcpy(value, start, end - start);
        valueEnd = value + (end - start);
    }
    *valueEnd = '\0';
    return value;
}
