#include "output/escaping.h"

#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"

// One escaped value at a time: 256 bytes hold every value of up to 255
// escaped characters; longer ones grow the buffer so that they come out whole.
static const size_t escapeBufferInitialSize = 256;
static char *escapeBuffer = nullptr;
static size_t escapeBufferSize = 0;

static void reserve_escape_buffer(size_t size) {
    if (size <= escapeBufferSize)
        return;
    if (size < escapeBufferInitialSize)
        size = escapeBufferInitialSize;
    char *grown = static_cast<char *>(std::realloc(escapeBuffer, size));
    if (grown == nullptr) {
        print_message(LOG_ERR, "%s", allocationFailed);
        std::exit(1);
    }
    escapeBuffer = grown;
    escapeBufferSize = size;
}

const char *escape_chars(const char *text, const char *set, char escapeChar) {
    size_t escaped = 0;
    for (const char *c = text; *c != '\0'; c++)
        escaped += std::strchr(set, *c) != nullptr;
    reserve_escape_buffer(std::strlen(text) + escaped + 1);

    char *out = escapeBuffer;
    for (const char *c = text; *c != '\0'; c++) {
        if (std::strchr(set, *c) != nullptr)
            *out++ = escapeChar;
        *out++ = *c;
    }
    *out = '\0';
    return escapeBuffer;
}

const char *escape_form_value(const char *text) { return escape_chars(text, "'", '\''); }

const char *escape_backslash(const char *text, const char *set) {
    return escape_chars(text, set, '\\');
}

void write_shell_quoted(FILE *stream, const char *text) {
    // Quotes cannot be escaped inside single quotes: close, escape, reopen.
    for (const char *c = text; *c != '\0'; c++) {
        if (*c == '\'')
            std::fputs("'\\''", stream);
        else
            std::fputc(*c, stream);
    }
}

char *dots_to_underscores(char *name) {
    for (char *c = name; *c != '\0'; c++)
        if (*c == '.')
            *c = '_';
    return name;
}

char *root_to_conf(char *name) {
    if (std::strncmp(name, "root", 4) == 0)
        std::memcpy(name, "conf", 4);
    return name;
}
