// libFuzzer target: the complex value renderer over trees of any shape that
// the data tree functions can build, including nodes of no or unknown kind,
// null keys and texts, empty keys and deep nesting.
#include <cstdint>
#include <cstring>
#include <string>

#include "output/complex_render.h"

namespace {

struct input_bytes {
    const uint8_t *data;
    size_t size;
    size_t position;

    uint8_t next() { return position < size ? data[position++] : 0; }
    bool exhausted() const { return position >= size; }

    // A text of up to 15 bytes taken from the input, NUL bytes included (they end it early).
    std::string text() {
        size_t length = next() & 15;
        std::string taken;
        while (length-- > 0 && !exhausted())
            taken += static_cast<char>(next());
        return taken;
    }
};

DataNode *build_node(input_bytes &input, int depth);

void fill_list(input_bytes &input, DataNode *list, int depth) {
    for (int count = input.next() & 7; count > 0 && !input.exhausted(); count--)
        drep_addToList(list, build_node(input, depth + 1));
}

void fill_hash(input_bytes &input, DataNode *hash, int depth) {
    for (int count = input.next() & 7; count > 0 && !input.exhausted(); count--) {
        std::string key = input.text();
        drep_setHashValue(hash, build_node(input, depth + 1), key.c_str());
    }
}

DataNode *build_node(input_bytes &input, int depth) {
    uint8_t choice = input.next();
    // Nesting is bounded by the input's length; this cap only keeps a run fast.
    if (depth > 2000)
        choice = 0;
    DataNode *node = drep_createData();
    switch (choice % 9) {
    case 0:
        drep_initializeScalar(node, SCALAR_CUSTOM, "string");
        drep_assignStringToCustom(node, input.text().c_str(), 0);
        break;
    case 1:
        drep_initializeScalar(node, SCALAR_INTEGER, "int");
        node->u.scalar.value.integer = (int32_t)((uint32_t)input.next() << 24 | input.next());
        break;
    case 2:
        drep_initializeScalar(node, SCALAR_EMPTY, "empty");
        break;
    case 3:
        drep_initializeScalar(node, SCALAR_STRING, "string");
        node->u.scalar.value.string = nullptr; // a string scalar without text
        break;
    case 4:
        drep_initializeScalar(node, 3 + (input.next() & 7), "unknown");
        break;
    case 5:
    case 6:
        drep_initializeList(node);
        fill_list(input, node, depth);
        break;
    case 7:
        drep_initializeHash(node);
        fill_hash(input, node, depth);
        break;
    default:
        break; // a node that was never initialised
    }
    return node;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    input_bytes input{data, size, 0};
    std::string shortName = input.text();
    DataNode *tree = input.next() & 1 ? build_node(input, 1) : nullptr;
    std::string first;
    render_complex_value(first, tree, shortName.c_str(), 1);
    // Rendering reads the tree only: a second pass writes the same text.
    std::string second;
    render_complex_value(second, tree, shortName.c_str(), 1);
    if (first != second)
        __builtin_trap();
    return 0;
}
