// Trees are stored as compact JSON that keeps every node's kind, subtype,
// type name and order: null for a fresh node, ["s", subtype, type name or
// null, integer or text or null] for a scalar, ["l", [items]] for a list,
// ["h", [[key, value], ...]] for a hash. stored_tree_reader.cpp reads them.
#include "base/tree_text.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "base/errors.h"
#include "base/json_text.h"
#include "base/stored_tree_reader.h"

namespace kelbrin {

namespace {

using json = nlohmann::json;

struct Budget {
    std::size_t nodes = 0;
    std::size_t textBytes = 0;
};

void spend(Budget &budget, const char *text) {
    if (++budget.nodes > maxTreeNodes)
        throw StoreError{VALUE_TOO_LONG};
    if (text && (budget.textBytes += std::strlen(text)) > maxTreeBytes)
        throw StoreError{VALUE_TOO_LONG};
}

json to_json(const DataNode *node, int depth, Budget &budget) {
    if (!node || depth > maxTreeDepth)
        throw StoreError{BAD_TREE};
    switch (node->kind) {
    case DATA_NONE:
        spend(budget, nullptr);
        return nullptr;
    case DATA_SCALAR: {
        int32_t subtype = node->u.scalar.subtype;
        auto *typeName = static_cast<const char *>(node->u.scalar.lib1);
        json value = nullptr;
        const char *text = nullptr;
        if (subtype == SCALAR_INTEGER) {
            value = node->u.scalar.value.integer;
        } else if (subtype == SCALAR_STRING || subtype == SCALAR_CUSTOM) {
            // A text scalar never comes back without its text: a reader may print it.
            text = node->u.scalar.value.string ? node->u.scalar.value.string : "";
            value = text;
        } else if (subtype != SCALAR_EMPTY) {
            throw StoreError{BAD_TREE};
        }
        spend(budget, text);
        return json::array({"s", subtype, typeName ? json(typeName) : json(nullptr), value});
    }
    case DATA_LIST: {
        spend(budget, nullptr);
        json items = json::array();
        for (const ListCell *cell = node->u.list.firstCell; cell; cell = cell->next) {
            items.push_back(to_json(cell->value, depth + 1, budget));
        }
        return json::array({"l", std::move(items)});
    }
    case DATA_HASH: {
        spend(budget, nullptr);
        json entries = json::array();
        for (const HashEntry *entry = node->u.hash.firstEntry; entry; entry = entry->next) {
            if (!entry->key)
                throw StoreError{BAD_TREE};
            spend(budget, entry->key);
            entries.push_back(json::array({entry->key, to_json(entry->value, depth + 1, budget)}));
        }
        return json::array({"h", std::move(entries)});
    }
    default:
        throw StoreError{BAD_TREE};
    }
}

// Appends the stored text of a group file's tree, written as it is walked.
void append_stored(std::string &out, const nlohmann::ordered_json &value, int depth, std::size_t &nodes) {
    if (depth > maxTreeDepth)
        throw StoreError{FILE_TOO_DEEP, "the tree is nested deeper than 64 levels"};
    if (++nodes > maxTreeNodes)
        throw StoreError{FILE_INVALID, "the tree has more than 100000 nodes"};
    if (value.is_null()) {
        out += "[\"s\"," + std::to_string(SCALAR_EMPTY) + ",null,null]";
    } else if (value.is_string()) {
        out += "[\"s\"," + std::to_string(SCALAR_CUSTOM) + ",\"string\",";
        append_json_string(out, value.get_ref<const std::string &>(), true);
        out += ']';
    } else if (value.is_number_integer()) {
        int64_t number = value.get<int64_t>();
        if (number < INT32_MIN || number > INT32_MAX)
            throw StoreError{FILE_INVALID, "a whole number in a tree must lie between -2147483648 and 2147483647"};
        out += "[\"s\"," + std::to_string(SCALAR_INTEGER) + ",null," + std::to_string(number) + ']';
    } else if (value.is_array()) {
        out += "[\"l\",[";
        bool first = true;
        for (const auto &item : value) {
            if (!std::exchange(first, false))
                out += ',';
            append_stored(out, item, depth + 1, nodes);
        }
        out += "]]";
    } else if (value.is_object()) {
        out += "[\"h\",[";
        bool first = true;
        for (const auto &[key, item] : value.items()) {
            if (!std::exchange(first, false))
                out += ',';
            out += '[';
            append_json_string(out, key, true);
            out += ',';
            append_stored(out, item, depth + 1, nodes);
            out += ']';
        }
        out += "]]";
    } else {
        throw StoreError{FILE_INVALID, "a tree holds only texts, whole numbers, null, lists and objects"};
    }
}

// The inverse of append_stored, for a tree delivered by the store: a
// scalar's type name and subtype are not kept, texts and integers are.
nlohmann::ordered_json natural_of(const DataNode *node) {
    switch (node->kind) {
    case DATA_SCALAR:
        if (node->u.scalar.subtype == SCALAR_INTEGER)
            return node->u.scalar.value.integer;
        if (node->u.scalar.subtype == SCALAR_EMPTY || !node->u.scalar.value.string)
            return nullptr;
        return node->u.scalar.value.string;
    case DATA_LIST: {
        nlohmann::ordered_json items = nlohmann::ordered_json::array();
        for (const ListCell *cell = node->u.list.firstCell; cell; cell = cell->next)
            items.push_back(natural_of(cell->value));
        return items;
    }
    case DATA_HASH: {
        nlohmann::ordered_json entries = nlohmann::ordered_json::object();
        for (const HashEntry *entry = node->u.hash.firstEntry; entry; entry = entry->next)
            entries[entry->key] = natural_of(entry->value);
        return entries;
    }
    default:
        return nullptr;
    }
}

} // namespace

std::string canonical_stored_form(const nlohmann::ordered_json &stored) {
    std::string text = stored.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::strict);
    std::unique_ptr<DataNode, void (*)(void *)> tree(deliver_tree(text), std::free);
    return serialise_tree(tree.get());
}

std::string serialise_tree(const DataNode *root) {
    Budget budget;
    return to_json(root, 0, budget).dump();
}

std::string stored_form_of(const nlohmann::ordered_json &value) {
    std::size_t nodes = 0;
    std::string out;
    append_stored(out, value, 0, nodes);
    return out;
}

nlohmann::ordered_json natural_form_of(std::string_view stored) {
    std::unique_ptr<DataNode, void (*)(void *)> tree(deliver_tree(stored), std::free);
    return natural_of(tree.get());
}

} // namespace kelbrin
