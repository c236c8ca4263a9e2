// The complex value renderer over trees the data tree calls build from the
// input's bytes: any shape, nodes of no or unknown kind, scalars without
// text. Rendering only reads the tree: a second pass writes the same text.
#include "fuzz.h"
#include "output/complex_render.h"

namespace {

struct Bytes {
    const uint8_t *at, *end;
    uint8_t next() { return at < end ? *at++ : 0; }
    std::string text() { // up to 15 bytes; a NUL among them ends it early
        std::string taken;
        for (int length = next() & 15; length > 0 && at < end; length--)
            taken += static_cast<char>(next());
        return taken;
    }
};

DataNode *node_of(Bytes &input, int depth) {
    uint8_t choice =
        depth > 2000 ? 0 : input.next(); // nesting ends with the input; this keeps a run fast
    DataNode *node = drep_createData();
    if (choice % 9 <= 4) {
        const int32_t subtypes[] = {SCALAR_CUSTOM, SCALAR_INTEGER, SCALAR_EMPTY, SCALAR_STRING, 3};
        drep_initializeScalar(node, choice % 9 == 4 ? 3 + (input.next() & 7) : subtypes[choice % 9],
                              "type");
    }
    if (choice % 9 == 0)
        drep_assignStringToCustom(node, input.text().c_str(), 0);
    if (choice % 9 == 1)
        node->u.scalar.value.integer = (int32_t)((uint32_t)input.next() << 24 | input.next());
    if (choice % 9 == 3)
        node->u.scalar.value.string = nullptr; // a string scalar without text
    if (choice % 9 == 5 || choice % 9 == 6)
        for (int count = (drep_initializeList(node), input.next() & 7);
             count > 0 && input.at < input.end; count--)
            drep_addToList(node, node_of(input, depth + 1));
    if (choice % 9 == 7)
        for (int count = (drep_initializeHash(node), input.next() & 7);
             count > 0 && input.at < input.end; count--) {
            std::string key = input.text();
            drep_setHashValue(node, node_of(input, depth + 1), key.c_str());
        }
    return node; // 8: a node that was never given a kind
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Bytes input{data, data + size};
    std::string shortName = input.text(), first, second;
    DataNode *tree = input.next() & 1 ? node_of(input, 1) : nullptr;
    render_complex_value(first, tree, shortName.c_str(), 1);
    render_complex_value(second, tree, shortName.c_str(), 1);
    REQUIRE(first == second);
    return 0;
}
