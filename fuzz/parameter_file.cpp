// Any file through the logical line reader, and every logical line's value
// through the setting value conversion.
#include <cstring>

#include "fuzz.h"
#include "input/logical_lines.h"
#include "input/setting_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FILE *stream = std::fopen(input_file(data, size), "r");
    logical_line_reader reader;
    REQUIRE(stream && start_logical_lines(&reader, stream));
    while (!std::feof(stream) && read_logical_line(&reader)) {
        const char *equals = std::strchr(reader.buffer, '=');
        for (bool convert : {true, false})
            std::free(convert_setting_value(equals ? equals + 1 : reader.buffer, convert));
    }
    finish_logical_lines(&reader);
    std::fclose(stream);
    return 0;
}
