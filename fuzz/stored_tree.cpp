// The reader of stored tree texts over any bytes: a text it refuses is a bad
// tree; one it reads is JSON, and writes back as a text that reads the same.
#include "base/errors.h"
#include "fuzz.h"
#include "base/stored_tree_reader.h"
#include "base/tree_text.h"

using namespace kelbrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string_view text(reinterpret_cast<const char *>(data), size);
    DataNode *tree;
    try {
        tree = deliver_tree(text);
    } catch (const StoreError &error) {
        REQUIRE(error.code == BAD_TREE);
        return 0;
    }
    REQUIRE(nlohmann::json::accept(text));
    std::string written = serialise_tree(tree);
    std::free(tree);
    tree = deliver_tree(written);
    REQUIRE(serialise_tree(tree) == written);
    std::free(tree);
    return 0;
}
