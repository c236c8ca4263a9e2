#include "output/complex_render.h"

#include <cstring>
#include <string>

// Hash keys of up to this many characters get one more alignment tab.
static const size_t shortKeyLength = 6;

static void append_tabs(std::string &buffer, int count) {
    if (count > 0)
        buffer.append((size_t)count, '\t');
}

static void append_quoted(std::string &buffer, const char *text) {
    buffer += '"';
    buffer += text != nullptr ? text : "";
    buffer += "\" ";
}

static void render_scalar(std::string &buffer, DataNode *node) {
    buffer += " [ ";
    switch (node->u.scalar.subtype) {
    case SCALAR_EMPTY:
        append_quoted(buffer, "");
        break;
    case SCALAR_INTEGER:
        append_quoted(buffer, std::to_string(node->u.scalar.value.integer).c_str());
        break;
    case SCALAR_STRING:
        append_quoted(buffer, node->u.scalar.value.string);
        break;
    case SCALAR_CUSTOM: {
        char flag = 0; // the library's, not ours to read
        append_quoted(buffer, drep_getStringFromCustom(node, &flag));
        break;
    }
    default:
        break; // a subtype we do not know has no text
    }
    buffer += " ] ";
}

static void render_list(std::string &buffer, DataNode *node, int depth) {
    buffer += " (";
    for (ListCell *cell = node->u.list.firstCell; cell != nullptr; cell = cell->next)
        render_complex_value(buffer, cell->value, nullptr, depth + 1);
    buffer += " )";
}

static bool is_hash(const DataNode *node) { return node != nullptr && node->kind == DATA_HASH; }

static void render_hash(std::string &buffer, DataNode *node, const char *shortName, int depth) {
    if (depth >= 2)
        buffer += " {\n";
    for (HashEntry *entry = node->u.hash.firstEntry; entry != nullptr; entry = entry->next) {
        // A null key reads as an empty one.
        const char *key = entry->key != nullptr ? entry->key : "";
        size_t keyLength = std::strlen(key);
        if (keyLength > 0) {
            if (depth <= 1) {
                buffer += shortName != nullptr ? shortName : "";
                buffer += '.';
            } else {
                append_tabs(buffer, depth - 1);
            }
            buffer += key;
            buffer += ' ';
        }
        append_tabs(buffer, keyLength <= shortKeyLength ? depth : depth - 1);
        if (!is_hash(entry->value))
            buffer += " = ";
        render_complex_value(buffer, entry->value, shortName, depth + 1);
        buffer += '\n';
    }
    if (depth >= 2)
        buffer += "} ";
}

void render_complex_value(std::string &buffer, DataNode *node, const char *shortName, int depth) {
    // A missing node is written like one of unknown kind.
    switch (node != nullptr ? node->kind : DATA_NONE) {
    case DATA_SCALAR:
        render_scalar(buffer, node);
        break;
    case DATA_LIST:
        render_list(buffer, node, depth);
        break;
    case DATA_HASH:
        render_hash(buffer, node, shortName, depth);
        break;
    default:
        buffer += " { NONE }";
        break;
    }
}
