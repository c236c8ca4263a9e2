// The complex value reader and its merge into a stored value. The input is
// the parameter name, a NUL byte, the text of the stored value, a NUL byte
// and the text merged into it (with one NUL byte, no stored value). Both
// trees are then written, so that whatever the merge leaves is walked whole.
#include "input/complex_value.h"
#include "fuzz.h"
#include "output/complex_render.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<std::string> words = words_of(data, size);
    if (words.size() < 2)
        return 0;
    const char *name = words[0].c_str();
    char *cursor = words[1].data();
    DataNode *stored = words.size() > 2 ? parse_complex_value(&cursor, nullptr, name, 0) : nullptr;
    std::string &text = words[words.size() > 2 ? 2 : 1];
    DataNode *merged = parse_complex_value(&(cursor = text.data()), stored, name, 0);
    REQUIRE(!cursor || (cursor >= text.data() && cursor <= text.data() + text.size()));
    std::string written;
    render_complex_value(written, stored, name, 1);
    render_complex_value(written, merged, name, 1);
    return 0;
}
