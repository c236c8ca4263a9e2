#include "trees.h"

#include <cstdlib>
#include <cstring>

#include "call_log.h"

namespace kelbrin_double {

using nlohmann::json;

namespace {

// Deeper trees (or a cycle built by a caller) end in a null node rather than
// overflowing the stack.
constexpr int deepestTree = 512;

json text_or_null(const char *text) {
    return text == nullptr ? json(nullptr) : json(text);
}

json scalar_to_json(const DataNode *node) {
    const auto &scalar = node->u.scalar;
    switch (scalar.subtype) {
    case SCALAR_EMPTY:
        return {{"empty", nullptr}};
    case SCALAR_INTEGER:
        return {{"integer", scalar.value.integer}};
    case SCALAR_STRING:
        return {{"string", text_or_null(scalar.value.string)}};
    case SCALAR_CUSTOM:
        return {{"custom", text_or_null(scalar.value.string)}};
    default:
        return {{"scalar", scalar.subtype}};
    }
}

json to_json(const DataNode *node, int depth) {
    if (node == nullptr || depth > deepestTree)
        return nullptr;
    switch (node->kind) {
    case DATA_NONE:
        return {{"none", nullptr}};
    case DATA_SCALAR:
        return scalar_to_json(node);
    case DATA_LIST: {
        json items = json::array();
        for (const ListCell *cell = node->u.list.firstCell; cell != nullptr; cell = cell->next)
            items.push_back(to_json(cell->value, depth + 1));
        return {{"list", items}};
    }
    case DATA_HASH: {
        json entries = json::array();
        for (const HashEntry *entry = node->u.hash.firstEntry; entry != nullptr;
             entry = entry->next)
            entries.push_back(
                json::array({text_or_null(entry->key), to_json(entry->value, depth + 1)}));
        return {{"hash", entries}};
    }
    default:
        return {{"kind", node->kind}};
    }
}

char *text_from_json(const json &text) {
    return text.is_string() ? copy_text(text.get_ref<const std::string &>().c_str()) : nullptr;
}

void fill_from_json(DataNode *node, const json &tree) {
    if (!tree.is_object() || tree.empty())
        return; // stays a node of kind 0
    const std::string &shape = tree.begin().key();
    const json &content = tree.begin().value();
    auto &scalar = node->u.scalar;
    if (shape == "hash") {
        node->kind = DATA_HASH;
        HashEntry **link = &node->u.hash.firstEntry;
        for (const json &pair : content) {
            auto *entry = static_cast<HashEntry *>(std::calloc(1, sizeof(HashEntry)));
            entry->key = text_from_json(pair.at(0));
            entry->value = tree_from_json(pair.at(1));
            *link = entry;
            link = &entry->next;
        }
    } else if (shape == "list") {
        node->kind = DATA_LIST;
        ListCell **link = &node->u.list.firstCell;
        for (const json &item : content) {
            auto *cell = static_cast<ListCell *>(std::calloc(1, sizeof(ListCell)));
            cell->value = tree_from_json(item);
            *link = cell;
            link = &cell->next;
        }
    } else if (shape == "custom" || shape == "string") {
        node->kind = DATA_SCALAR;
        scalar.subtype = shape == "custom" ? SCALAR_CUSTOM : SCALAR_STRING;
        scalar.value.string = text_from_json(content);
    } else if (shape == "integer") {
        node->kind = DATA_SCALAR;
        scalar.subtype = SCALAR_INTEGER;
        scalar.value.integer = content.get<int32_t>();
    } else if (shape == "empty") {
        node->kind = DATA_SCALAR;
    } else if (shape == "scalar") {
        node->kind = DATA_SCALAR;
        scalar.subtype = content.get<int32_t>();
    } else if (shape == "kind") {
        node->kind = content.get<int32_t>();
    }
}

} // namespace

char *copy_text(const char *text) {
    return text == nullptr ? nullptr : strdup(text);
}

DataNode *new_node() {
    auto *node = static_cast<DataNode *>(std::calloc(1, sizeof(DataNode)));
    name_new_object(node);
    return node;
}

json tree_to_json(const DataNode *node) {
    return to_json(node, 0);
}

DataNode *tree_from_json(const json &tree) {
    if (tree.is_null())
        return nullptr;
    DataNode *node = new_node();
    fill_from_json(node, tree);
    return node;
}

std::string compact(const json &tree) {
    return tree.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace kelbrin_double
