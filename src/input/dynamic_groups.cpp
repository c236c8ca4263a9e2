#include "input/dynamic_groups.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

#include "common/diagnostics.h"
#include "common/globals.h"
#include "common/status.h"
#include "common/streams.h"
#include "input/buffer_growth.h"

// The answer of a CGI run when the store allows no more groups: the web
// server passes the program's standard error on as the response.
static const char serviceUnavailablePage[] =
    "HTTP/1.0 503 Service Unavailable\r\n"
    "Content-Type: text/html\r\n"
    "\r\n"
    "<HTML><HEAD><TITLE>503 Service Unavailable, The server is unable to handle the request "
    "due to temporary overload.</TITLE></HEAD>\n"
    "<BODY><H1>503 Service Unavailable</H1>\n"
    "The server is unable to handle the request due to temporary overload.\n"
    "</BODY></HTML>\n";
static_assert(sizeof serviceUnavailablePage - 1 == 314,
              "clients expect the 503 page as one write of 314 bytes");

static const char markerText[] = "#DO NOT REMOVE THIS LINE: ";
static const size_t markerLength = sizeof markerText - 1;

// Growth steps of the marker file line buffer and of the entry path buffer.
static const size_t lineBufferStep = 80;
static const size_t pathBufferStep = 32;

static void report_group_limit(const char *parent) {
    // Not print_message: in CGI mode standard error must hold the page alone.
    if (logToSyslog)
        syslog(LOG_ERR, "Error creating group under '%s'! (limited number allowed)", parent);
    if (cgiMode) {
        ssize_t written =
            write(STDERR_FILENO, serviceUnavailablePage, sizeof serviceUnavailablePage - 1);
        (void)written; // nothing more can be reported when standard error fails
    } else {
        std::fprintf(stderr, "Error creating group under '%s'! (limited number allowed)\n", parent);
    }
}

int add_group(const char *parent, int number, const char *templateName) {
    if (parent == nullptr || templateName == nullptr)
        return STATUS_FATAL;
    clientOptions.groupNumber = number;
    int32_t error = 0;
    char *name = cli_createDynamicGroup(parent, templateName, &clientOptions, &error);
    int status = STATUS_FAILED;
    switch (error) {
    case 0:
        // A library that reports success without a name still created a
        // group; print what is known rather than pass null to printf.
        std::printf("%s.%s\n", parent, name != nullptr ? name : "");
        status = STATUS_OK;
        break;
    case KELBRIN_ERROR_GROUP_NUMBER_TAKEN:
        print_message(LOG_ERR, "Group '%s' already exists with number %d!", parent, number);
        break;
    case KELBRIN_ERROR_GROUP_LIMIT:
        report_group_limit(parent);
        break;
    default:
        print_message(LOG_ERR, "Error creating group under '%s'!", parent);
        break;
    }
    std::free(name);
    return status;
}

static bool is_token_character(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.';
}

static char *skip_blanks(char *text) {
    while (*text == ' ' || *text == '\t')
        text++;
    return text;
}

// Creates the group named by a marker line; the line is split in place.
static int handle_marker_line(char *marker, const char *path) {
    char *token = skip_blanks(marker + markerLength);
    char *tokenEnd = token;
    while (is_token_character(*tokenEnd))
        tokenEnd++;
    // The one character after the token separates it from the template;
    // a token that ends the last line has none.
    char *templateName = *tokenEnd != '\0' ? skip_blanks(tokenEnd + 1) : tokenEnd;
    *tokenEnd = '\0';
    size_t templateLength = std::strlen(templateName);
    if (templateLength > 0 && templateName[templateLength - 1] == '\n')
        templateName[templateLength - 1] = '\0';

    // The last component is a one-character prefix and the number. A token
    // without a dot has no parent, and one ending in a dot has no prefix, so
    // its number would lie past the token: such a line names no group to
    // create, and is reported instead of guessed at.
    char *lastDot = std::strrchr(token, '.');
    if (lastDot == nullptr || lastDot[1] == '\0') {
        print_message(LOG_ERR, "Invalid group '%s' in a marker line of %s!", token, path);
        return STATUS_FAILED;
    }
    *lastDot = '\0';
    int number = static_cast<int>(std::strtol(lastDot + 2, nullptr, 10));
    return add_group(token, number, templateName);
}

// A line buffer: its usable size, and the memory behind it.
struct line_buffer {
    char *text;
    size_t capacity;
    size_t allocated;
};

// Reads one line, its newline included, into the growing buffer. Returns
// false at the end of the file, or when the buffer cannot grow (reported).
static bool read_line(FILE *stream, line_buffer *line) {
    size_t length = 0;
    int c;
    while ((c = std::fgetc(stream)) != EOF) {
        if (length + 2 > line->capacity &&
            !grow_buffer(&line->text, &line->capacity, &line->allocated, lineBufferStep)) {
            print_message(LOG_ERR, "%s", allocationFailed);
            return false;
        }
        line->text[length++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    if (length == 0)
        return false;
    line->text[length] = '\0';
    return true;
}

int upgrade_dynamic_file(const char *path) {
    FILE *stream = open_stream(path, "r");
    if (stream == nullptr)
        return STATUS_FAILED;
    int status = STATUS_OK;
    line_buffer line = {nullptr, 0, 0};
    while (read_line(stream, &line)) {
        char *marker = std::strstr(line.text, markerText);
        if (marker == nullptr)
            continue;
        status = handle_marker_line(marker, path);
        if (status == STATUS_FATAL)
            break;
    }
    std::free(line.text);
    close_stream(stream);
    return status;
}

// Builds "<directory>/<name>" in the growing buffer; "." gives the bare name
// and a directory path ending in "/" gets no second one.
static bool build_entry_path(char **buffer, size_t *capacity, const char *directory,
                             const char *name) {
    bool bare = std::strcmp(directory, ".") == 0;
    size_t directoryLength = std::strlen(directory);
    bool endsWithSlash = directoryLength > 0 && directory[directoryLength - 1] == '/';
    const char *separator = bare || endsWithSlash ? "" : "/";
    size_t needed = (bare ? 0 : directoryLength) + std::strlen(separator) + std::strlen(name) + 1;
    if (needed > *capacity) {
        size_t grownCapacity = *capacity;
        while (grownCapacity < needed)
            grownCapacity += pathBufferStep;
        char *grown = static_cast<char *>(std::realloc(*buffer, grownCapacity));
        if (grown == nullptr)
            return false;
        *buffer = grown;
        *capacity = grownCapacity;
    }
    std::snprintf(*buffer, *capacity, "%s%s%s", bare ? "" : directory, separator, name);
    return true;
}

int handle_upgrade_dynamicfile(const char *path) {
    if (path == nullptr)
        return STATUS_FAILED;
    DIR *directory = opendir(path);
    if (directory == nullptr) {
        if (errno == ENOTDIR)
            return upgrade_dynamic_file(path);
        print_message(LOG_ERR, "%s: Failed to opendir(%s): %m", "handle_upgrade_dynamicfile", path);
        return STATUS_FAILED;
    }
    int status = STATUS_OK;
    char *entryPath = nullptr;
    size_t capacity = 0;
    struct dirent *entry;
    while (status != STATUS_FATAL && (entry = readdir(directory)) != nullptr) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        if (!build_entry_path(&entryPath, &capacity, path, entry->d_name)) {
            print_message(LOG_ERR, "%s", allocationFailed);
            status = STATUS_FATAL;
            break;
        }
        struct stat entryStatus;
        if (lstat(entryPath, &entryStatus) != 0) {
            print_message(LOG_ERR, "Failed to stat/lstat %s: %m", entryPath);
            status = STATUS_FAILED;
        } else if (S_ISREG(entryStatus.st_mode)) {
            status = upgrade_dynamic_file(entryPath);
        } else if (S_ISDIR(entryStatus.st_mode)) {
            status = handle_upgrade_dynamicfile(entryPath);
        }
        // Symbolic links, devices, pipes and sockets are skipped.
    }
    std::free(entryPath);
    closedir(directory);
    return status;
}

int command_addgroup(char **words, int count, int *taken) {
    const char *parent = words[1];
    const char *templateName = words[2];
    int number = -1;
    *taken = 3;
    if (std::strcmp(words[2], "--number") == 0 || std::strcmp(words[2], "-number") == 0) {
        if (count < 5) {
            print_message(LOG_WARNING, "Group number and template expected!");
            return STATUS_FATAL;
        }
        number = static_cast<int>(std::strtol(words[3], nullptr, 10));
        templateName = words[4];
        *taken = 5;
    }
    int status = add_group(parent, number, templateName);
    if (status == STATUS_FATAL)
        print_message(LOG_ERR, "Failed to add group %s.", parent);
    return status;
}

int command_upgradedynparams(char **words, int, int *taken) {
    *taken = 2;
    int status = handle_upgrade_dynamicfile(words[1]);
    if (status == STATUS_FATAL)
        print_message(LOG_ERR, "Failed to set parameters.");
    return status;
}
