#include "output/parameter_reads.h"

#include <cstdlib>
#include <cstring>

#include "common/status.h"
#include "common/diagnostics.h"
#include "common/globals.h"
#include "common/streams.h"
#include "output/command_words.h"
#include "output/output_types.h"

// getlist reads each name line and each value into a buffer of this size;
// longer lines read as several names, and values are cut by the library.
static const int listBufferSize = 256;

int command_get(char **words, int count, int *taken) {
    target_words target;
    *taken = take_target_words(words, count, "VALUE", &target);
    if (target.name == nullptr || target.file == nullptr || target.type == nullptr) {
        print_message(LOG_ERR, "Missing argument!");
        print_message(LOG_ERR, "Failed to get parameter %s.", target.name);
        return STATUS_FATAL;
    }

    OutputType type;
    const char *commentPrefix;
    FILE *output = nullptr;
    if (parse_output_type(target.type, &type, &commentPrefix) != 0 ||
        (output = open_stream(target.file, "w")) == nullptr) {
        print_message(LOG_ERR, "Failed to get parameter %s.", target.name);
        return STATUS_FATAL;
    }
    write_output_header(output, type, commentPrefix);

    int status = STATUS_OK;
    int32_t errorWord = 0;
    char *value = cli_getCustomParam(target.name, &clientOptions, &errorWord);
    if (errorWord != 0) {
        print_message(LOG_ERR, "%sError %i getting parameter '%s'!", commentPrefix, errorWord,
                      target.name);
        status = STATUS_FAILED;
    } else {
        print_value(output, type, target.name, value, &clientOptions);
    }
    std::free(value);
    close_stream(output);
    return status;
}

// Reads one name line into the buffer and drops its newline; false at the end.
static bool read_name_line(FILE *input, char *name) {
    name[0] = '\0';
    if (std::fgets(name, listBufferSize, input) == nullptr)
        return false;
    size_t length = std::strlen(name);
    if (length > 0 && name[length - 1] == '\n')
        name[length - 1] = '\0';
    return true;
}

int command_getlist(char **words, int, int *taken) {
    *taken = 4;
    const char *inFile = words[1];
    const char *outFile = words[2];
    const char *typeName = words[3];
    if (inFile == nullptr || outFile == nullptr || typeName == nullptr) {
        print_message(LOG_ERR, "Missing argument!");
        print_message(LOG_ERR, "Failed to get list. List file %s.", inFile);
        return STATUS_FATAL;
    }

    OutputType type;
    const char *commentPrefix;
    FILE *input = nullptr;
    FILE *output = nullptr;
    if (parse_output_type(typeName, &type, &commentPrefix) != 0 ||
        (input = open_stream(inFile, "r")) == nullptr ||
        (output = open_stream(outFile, "w")) == nullptr) {
        print_message(LOG_ERR, "Failed to get list. List file %s.", inFile);
        return STATUS_FATAL;
    }
    write_output_header(output, type, commentPrefix);

    int status = STATUS_OK;
    char name[listBufferSize];
    char value[listBufferSize] = {};
    while (!std::feof(input) && read_name_line(input, name)) {
        int32_t errorWord = 0;
        cli_getCustomParamToBuf(name, &clientOptions, &errorWord, value, listBufferSize - 1);
        // The library copies at most 255 bytes and terminates only shorter values.
        value[listBufferSize - 1] = '\0';
        if (errorWord != 0) {
            print_message(LOG_ERR, "%sError %i getting parameter '%s'!", commentPrefix, errorWord, name);
            status = STATUS_FAILED;
            continue;
        }
        print_value(output, type, name, value, &clientOptions);
    }
    close_stream(input);
    close_stream(output);
    return status;
}
