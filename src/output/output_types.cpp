#include "output/output_types.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <strings.h>

#include "common/diagnostics.h"
#include "common/globals.h"
#include "output/escaping.h"

// Names in NAMEVALUESECTIONS listings are padded to this width, so that the
// '=' of short names stands in the same column.
static const size_t sectionNameWidth = 25;

struct output_type_name {
    const char *name;
    OutputType type;
    const char *commentPrefix;
};

// In the order names are tried; the first match wins.
static const output_type_name outputTypeNames[] = {
    {"SCRIPT", OUTPUT_SCRIPT, "#"},
    {"VALUE", OUTPUT_VALUE, "#"},
    {"NAMEVALUE", OUTPUT_NAMEVALUE, "#"},
    {"NAMEVALUESECTIONS", OUTPUT_NAMEVALUESECTIONS, "#"},
    {"PHP", OUTPUT_PHP, "//"},
    {"FORM", OUTPUT_FORM, "#"},
    {"RAW", OUTPUT_RAW, "#"},
};

int parse_output_type(const char *typeName, OutputType *type, const char **commentPrefix) {
    if (typeName == nullptr)
        return 1;
    for (const output_type_name &candidate : outputTypeNames) {
        if (strcasecmp(candidate.name, typeName) == 0) {
            *type = candidate.type;
            *commentPrefix = candidate.commentPrefix;
            return 0;
        }
    }
    print_message(LOG_ERR, "Unsupported type: %s", typeName);
    return 1;
}

// Built in one buffer and written at once: formatting the padding, or five
// writes, cost a walk more than its query's rows. The program has one
// thread, so the stream needs no lock.
void write_aligned_line(FILE *stream, const char *name, const char *value) {
    static std::string line;
    size_t nameLength = std::strlen(name);
    size_t valueLength = std::strlen(value);
    size_t padding = nameLength < sectionNameWidth ? sectionNameWidth - nameLength : 0;
    line.resize(nameLength + padding + valueLength + 5);
    char *at = line.data();
    std::memcpy(at, name, nameLength);
    at += nameLength;
    std::memset(at, ' ', padding);
    at += padding;
    std::memcpy(at, "= \"", 3);
    std::memcpy(at + 3, value, valueLength);
    std::memcpy(at + 3 + valueLength, "\"\n", 2);
    fwrite_unlocked(line.data(), 1, line.size(), stream);
}

static void write_name_value(FILE *stream, const char *name, const char *value,
                             ClientOptions *options) {
    if (!showAccess) {
        std::fprintf(stream, "%s=\"%s\"\n", name, value);
        return;
    }
    int32_t errorWord = 0; // not examined: a missing option reads as empty
    char *access = cli_getParamOption(name, "accessControl", options, &errorWord);
    std::fprintf(stream, "%s=\"%s\" accessControl=\"%s\"\n", name, value,
                 access != nullptr ? access : "");
    std::free(access);
}

void print_value(FILE *stream, OutputType type, char *name, const char *value,
                 ClientOptions *options) {
    // A library that reports success without a text has an empty value.
    if (value == nullptr)
        value = "";
    switch (type) {
    case OUTPUT_SCRIPT:
        std::fprintf(stream, "%s='", dots_to_underscores(name));
        write_shell_quoted(stream, value);
        std::fputs("'\n", stream);
        break;
    case OUTPUT_VALUE:
        std::fprintf(stream, "\"%s\"\n", value);
        break;
    case OUTPUT_NAMEVALUE:
        write_name_value(stream, name, value, options);
        break;
    case OUTPUT_PHP:
        std::fprintf(stream, "$%s = \"%s\";\n", dots_to_underscores(name),
                     escape_backslash(value, "\\\""));
        break;
    case OUTPUT_NAMEVALUESECTIONS: {
        const char *firstDot = std::strchr(name, '.');
        const char *lastDot = std::strrchr(name, '.');
        if (firstDot == nullptr || lastDot == firstDot) {
            print_message(LOG_ERR, "Internal error: '.'-delimited format expected.");
            return;
        }
        write_aligned_line(stream, lastDot + 1, value);
        break;
    }
    case OUTPUT_FORM:
        std::fprintf(stream, "<input type='hidden' name='%s' value='%s'>\n",
                     root_to_conf(dots_to_underscores(name)), escape_form_value(value));
        break;
    case OUTPUT_RAW:
        std::fprintf(stream, "%s\n", value);
        break;
    }
}

void print_group_entry(FILE *stream, OutputType type, char *name, const char *value,
                       ClientOptions *options) {
    char *lastDot = std::strrchr(name, '.');
    if (lastDot != nullptr)
        *lastDot = '\0';
    if (type != OUTPUT_NAMEVALUESECTIONS) {
        print_value(stream, type, name, value, options);
        return;
    }
    write_aligned_line(stream, name, value != nullptr ? value : "");
}

void write_output_header(FILE *stream, OutputType type, const char *commentPrefix) {
    if (type == OUTPUT_PHP) {
        std::fputs("<?php\n", stream);
    } else if (type == OUTPUT_NAMEVALUESECTIONS) {
        time_t now = std::time(nullptr);
        const char *date = std::ctime(&now); // ends in a newline
        // ctime has no text for a year it cannot write; keep the line whole.
        std::fprintf(stream, "%s Vardel Parameter list, %s", commentPrefix,
                     date != nullptr ? date : "\n");
    }
}

void write_output_trailer(FILE *stream, OutputType type) {
    if (type == OUTPUT_PHP)
        std::fputs("?>\n", stream);
}
