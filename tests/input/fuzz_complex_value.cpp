// libFuzzer target: any parameter name and text through the complex value
// reader. The input is the name, a NUL byte, then the text.
#include <cstdint>
#include <cstring>
#include <vector>

#include "input/complex_value.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const uint8_t *separator = static_cast<const uint8_t *>(std::memchr(data, '\0', size));
    if (separator == nullptr)
        return 0;
    std::vector<char> name(data, separator + 1);
    std::vector<char> text(separator + 1, data + size);
    text.push_back('\0');
    char *cursor = text.data();
    parse_complex_value(&cursor, nullptr, name.data(), 0);
    return 0;
}
