// Data trees built with the store library's own drep_* calls from JSON, and
// any tree as JSON to compare whole: objects are hashes, arrays lists,
// strings custom scalars, integers integer scalars, null an empty scalar and
// false a fresh node that was given no kind.
#pragma once

#include <kelbrin.h>

#include <nlohmann/json.hpp>

using Json = nlohmann::ordered_json;

inline DataNode *tree_of(const Json &value) {
    DataNode *node = drep_createData();
    if (value.is_object() && drep_initializeHash(node) == 0)
        for (const auto &[key, item] : value.items())
            drep_setHashValue(node, tree_of(item), key.c_str());
    if (value.is_array() && drep_initializeList(node) == 0)
        for (const Json &item : value)
            drep_addToList(node, tree_of(item));
    if (value.is_string() && drep_initializeScalar(node, SCALAR_CUSTOM, "string") == 0)
        drep_assignStringToCustom(node, value.get<std::string>().c_str(), 0);
    if (value.is_number_integer() && drep_initializeScalar(node, SCALAR_INTEGER, nullptr) == 0)
        node->u.scalar.value.integer = value.get<int32_t>();
    if (value.is_null())
        drep_initializeScalar(node, SCALAR_EMPTY, nullptr);
    return node;
}

inline Json json_of(const DataNode *node) {
    Json value = false;
    if (node->kind == DATA_HASH)
        for (HashEntry *entry = (value = Json::object(), node->u.hash.firstEntry); entry;
             entry = entry->next)
            value[entry->key] = json_of(entry->value);
    if (node->kind == DATA_LIST)
        for (ListCell *cell = (value = Json::array(), node->u.list.firstCell); cell;
             cell = cell->next)
            value.push_back(json_of(cell->value));
    if (node->kind == DATA_SCALAR) {
        const char *text = node->u.scalar.value.string;
        int32_t subtype = node->u.scalar.subtype;
        value = subtype == SCALAR_INTEGER ? Json(node->u.scalar.value.integer)
                : subtype == SCALAR_EMPTY ? Json(nullptr)
                                          : Json(text ? text : "(no text)");
    }
    return value;
}

inline std::string show(const DataNode *node) {
    return json_of(node).dump(-1, ' ', false, Json::error_handler_t::replace);
}
