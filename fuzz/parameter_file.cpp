// libFuzzer target: any file through the logical line reader, and every
// logical line's value through the setting value conversion.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "input/logical_lines.h"
#include "input/setting_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    std::vector<char> content(data, data + size);
    FILE *stream = fmemopen(content.data(), content.size(), "r");
    logical_line_reader reader;
    if (stream == nullptr || !start_logical_lines(&reader, stream))
        std::abort();
    while (!std::feof(stream) && read_logical_line(&reader)) {
        const char *equals = std::strchr(reader.buffer, '=');
        for (bool convert : {true, false})
            std::free(convert_setting_value(equals != nullptr ? equals + 1 : reader.buffer, convert));
    }
    finish_logical_lines(&reader);
    std::fclose(stream);
    return 0;
}
