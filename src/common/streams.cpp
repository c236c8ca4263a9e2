#include "common/streams.h"

#include <cstring>

#include "common/diagnostics.h"

FILE *open_stream(const char *path, const char *mode) {
    if (path == nullptr || mode == nullptr)
        return nullptr;
    if (std::strcmp(path, "-") == 0)
        return std::strcmp(mode, "r") == 0 ? stdin : stdout;
    FILE *stream = std::fopen(path, mode);
    if (stream == nullptr)
        print_message(LOG_ERR, "Unable to open file %s: %m", path);
    return stream;
}

void close_stream(FILE *stream) {
    if (stream != nullptr && stream != stdin && stream != stdout)
        std::fclose(stream);
}
