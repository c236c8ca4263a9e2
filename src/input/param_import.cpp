#include "input/param_import.h"

#include <cstdlib>
#include <cstring>

#include "common/status.h"
#include "common/diagnostics.h"
#include "common/globals.h"
#include "common/streams.h"
#include "input/buffer_growth.h"
#include "input/complex_value.h"
#include "input/full_name.h"
#include "input/logical_lines.h"
#include "input/setting_value.h"

static const char blanks[] = " \t";

enum file_form { FORM_UNDECIDED, FORM_FULL_NAMES, FORM_SECTIONS };

// What one setparams command keeps while it reads its file.
struct import_state {
    file_form form;
    char *section;     // the current section, or null before the first header
    char *pendingName; // the complex value being gathered, or null
    char *pendingText;
    size_t pendingLength;
    size_t pendingAllocated; // doubles as the value grows: linear to gather
    int status; // STATUS_OK, or STATUS_FAILED once a setting was refused
};

static void drop_pending(import_state *state) {
    std::free(state->pendingName);
    std::free(state->pendingText);
    state->pendingName = nullptr;
    state->pendingText = nullptr;
    state->pendingLength = 0;
    state->pendingAllocated = 0;
}

static bool append_pending_text(import_state *state, const char *text, size_t length) {
    size_t usable = state->pendingLength;
    if (!grow_buffer(&state->pendingText, &usable, &state->pendingAllocated, length + 1))
        return false;
    std::memcpy(state->pendingText + state->pendingLength, text, length);
    state->pendingLength += length;
    state->pendingText[state->pendingLength] = '\0';
    return true;
}

static int write_pending(import_state *state) {
    if (state->pendingName == nullptr)
        return STATUS_OK;
    if (state->section == nullptr) {
        // A complex value before any section header has no group to belong to.
        print_message(LOG_ERR, "Error in parsing %s, exiting.", state->pendingText);
        return STATUS_FATAL;
    }
    int result = set_complex_param(state->section, state->pendingName, state->pendingText);
    drop_pending(state);
    return result < 0 ? STATUS_FATAL : STATUS_OK;
}

// Gathers the lines of one complex parameter into one text.
static int gather_complex_line(import_state *state, char *line, size_t length) {
    char *start = line + std::strspn(line, blanks);
    char *dot = std::strchr(start, '.');
    // An empty parameter name (the line begins with ".") names no parameter.
    if (dot == nullptr || dot == start) {
        print_message(LOG_ERR, "Error in parsing %s, exiting.", line);
        return STATUS_FATAL;
    }
    *dot = '\0';
    bool sameValue = state->pendingName != nullptr && std::strstr(start, state->pendingName) != nullptr;
    if (!sameValue) {
        int status = write_pending(state);
        if (status != STATUS_OK)
            return status;
        state->pendingName = strdup(start);
    }
    *dot = '.';
    if (state->pendingName == nullptr ||
        !append_pending_text(state, start, length - (start - line))) {
        print_message(LOG_ERR, "Memory reallocation failed.");
        return STATUS_FATAL;
    }
    return STATUS_OK;
}

static void trim_blanks_at_end(char *start, char *end) {
    while (end > start && (end[-1] == ' ' || end[-1] == '\t'))
        end--;
    *end = '\0';
}

// "name = value": the value goes to the store under the name.
static int apply_setting(import_state *state, char *line) {
    if (line[0] == '#')
        return STATUS_OK;
    char *equals = std::strchr(line, '=');
    if (equals == nullptr)
        return STATUS_OK;
    char *name = line + std::strspn(line, blanks);
    if (*name == '#')
        return STATUS_OK;
    trim_blanks_at_end(name, equals);
    char *value = convert_setting_value(equals + 1, !restoreMode);
    if (value == nullptr) {
        print_message(LOG_ERR, "%s", allocationFailed);
        return STATUS_FATAL;
    }
    if (name[0] != '\0') {
        int32_t error = 0;
        cli_setCustomParam(name, value, &clientOptions, &error);
        if (error != 0) {
            print_message(LOG_ERR, "Error %i setting '%s' to '%s'!", error, name, value);
            state->status = STATUS_FAILED;
        }
    }
    std::free(value);
    return STATUS_OK;
}

// "[group]" makes group, less its blanks, the current section.
static int change_section(import_state *state, char *line) {
    char *start = std::strchr(line, '[') + 1;
    start += std::strspn(start, blanks);
    char *end = std::strchr(start, ']');
    if (end == nullptr) {
        // Without "]" the header runs to the end of the line, less its white space.
        end = start + std::strlen(start);
        while (end > start && std::strchr(" \t\n\v\f\r", end[-1]) != nullptr)
            end--;
    }
    trim_blanks_at_end(start, end);
    char *section = strdup(start);
    if (section == nullptr) {
        print_message(LOG_ERR, "%s", allocationFailed);
        return STATUS_FATAL;
    }
    std::free(state->section);
    state->section = section;
    return STATUS_OK;
}

static int handle_section_line(import_state *state, char *line) {
    int status = write_pending(state);
    if (status != STATUS_OK)
        return status;
    if (std::strchr(line, '[') != nullptr)
        return change_section(state, line);
    if (state->section == nullptr || line[0] == '\n' || line[0] == '#' || line[0] == '\0')
        return STATUS_OK;
    char *fullLine = join_full_name(state->section, line + std::strspn(line, blanks));
    if (fullLine == nullptr) {
        print_message(LOG_ERR, "%s", allocationFailed);
        return STATUS_FATAL;
    }
    status = apply_setting(state, fullLine);
    std::free(fullLine);
    return status;
}

static int handle_line(import_state *state, char *line, size_t length, bool complex) {
    if (complex) {
        state->form = FORM_SECTIONS;
        return gather_complex_line(state, line, length);
    }
    if (state->form == FORM_UNDECIDED) {
        const char *start = line + std::strspn(line, blanks);
        if (*start == '[') {
            state->form = FORM_SECTIONS;
        } else if (std::strncmp(start, "root.", 5) == 0) {
            state->form = FORM_FULL_NAMES;
        } else {
            return STATUS_OK;
        }
    }
    if (state->form == FORM_FULL_NAMES)
        return apply_setting(state, line);
    return handle_section_line(state, line);
}

static int import_file(import_state *state, logical_line_reader *reader, const char *path) {
    while (!std::feof(reader->stream)) {
        if (!read_logical_line(reader)) {
            print_message(LOG_ERR, "%s", allocationFailed);
            return STATUS_FATAL;
        }
        if (std::ferror(reader->stream)) {
            // The rest of the file is unknown; a value gathered so far may be cut short.
            print_message(LOG_ERR, "Unable to read file %s: %m", path);
            return STATUS_FATAL;
        }
        int status = handle_line(state, reader->buffer, reader->length, reader->complex);
        if (status != STATUS_OK)
            return status;
    }
    int status = write_pending(state);
    return status != STATUS_OK ? status : state->status;
}

int command_setparams(char **words, int, int *taken) {
    *taken = 2;
    const char *path = words[1];
    FILE *stream = open_stream(path, "r");
    if (stream == nullptr)
        return STATUS_FATAL;
    logical_line_reader reader;
    int status;
    if (start_logical_lines(&reader, stream)) {
        import_state state = {FORM_UNDECIDED, nullptr, nullptr, nullptr, 0, 0, STATUS_OK};
        status = import_file(&state, &reader, path);
        drop_pending(&state);
        std::free(state.section);
    } else {
        print_message(LOG_ERR, "%s", allocationFailed);
        status = STATUS_FATAL;
    }
    finish_logical_lines(&reader);
    close_stream(stream);
    return status;
}
