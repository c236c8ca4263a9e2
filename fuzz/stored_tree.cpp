// libFuzzer target: the reader of stored tree texts over any bytes. A text it
// refuses must be refused as a bad tree; one it reads must be JSON, and the
// tree must write back as a text that reads back to the same tree.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "stored_tree_reader.h"
#include "tree_text.h"
#include "errors.h"

using namespace kelbrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string_view text(reinterpret_cast<const char *>(data), size);
    DataNode *tree;
    try {
        tree = deliver_tree(text);
    } catch (const StoreError &error) {
        if (error.code != BAD_TREE)
            __builtin_trap();
        return 0;
    }
    // Any other exception escapes and is reported as a finding.
    if (!nlohmann::json::accept(text))
        __builtin_trap();
    std::string written = serialise_tree(tree);
    std::free(tree);
    DataNode *again = deliver_tree(written);
    if (serialise_tree(again) != written)
        __builtin_trap();
    std::free(again);
    return 0;
}
