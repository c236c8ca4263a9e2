// libFuzzer target: the complex value reader and its merge into a stored
// value. The input is the parameter name, a NUL byte, the text of the stored
// value, a NUL byte, and the text merged into it (without the second NUL
// there is no stored value). Both trees are then rendered, so that whatever
// the merge leaves behind is walked in full.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "input/complex_value.h"
#include "output/complex_render.h"

static std::vector<char> terminated(const uint8_t *begin, const uint8_t *end) {
    std::vector<char> text(begin, end);
    text.push_back('\0');
    return text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const uint8_t *end = data + size;
    const uint8_t *nameEnd = static_cast<const uint8_t *>(std::memchr(data, '\0', size));
    if (nameEnd == nullptr)
        return 0;
    std::vector<char> name = terminated(data, nameEnd);
    const uint8_t *textStart = nameEnd + 1;
    const uint8_t *storedEnd =
        static_cast<const uint8_t *>(std::memchr(textStart, '\0', (size_t)(end - textStart)));

    DataNode *stored = nullptr;
    if (storedEnd != nullptr) {
        std::vector<char> storedText = terminated(textStart, storedEnd);
        char *cursor = storedText.data();
        stored = parse_complex_value(&cursor, nullptr, name.data(), 0);
        textStart = storedEnd + 1;
    }
    std::vector<char> text = terminated(textStart, end);
    char *cursor = text.data();
    DataNode *merged = parse_complex_value(&cursor, stored, name.data(), 0);
    // The cursor stays inside the text or becomes null.
    if (cursor != nullptr && (cursor < text.data() || cursor >= text.data() + text.size()))
        __builtin_trap();

    std::string rendered;
    render_complex_value(rendered, stored, name.data(), 1);
    render_complex_value(rendered, merged, name.data(), 1);
    return 0;
}
