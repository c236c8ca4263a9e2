// Trees are stored as compact JSON that keeps every node's kind, subtype,
// type name and order: null for a fresh node, ["s", subtype, type name or
// null, integer or text or null] for a scalar, ["l", [items]] for a list,
// ["h", [[key, value], ...]] for a hash.
#include <cstdlib>
#include <cstring>

#include "data_tree.h"
#include "errors.h"

namespace kelbrin {

namespace {

using json = nlohmann::json;

// Limits the work a tree with shared nodes can cause.
constexpr std::size_t maxTreeNodes = 100000;

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

// Sizes of the pieces of a delivered tree: records first (all of them
// multiples of 8 bytes), texts after them.
struct Layout {
    std::size_t recordBytes = 0;
    std::size_t textBytes = 0;
};

void measure(const json &node, Layout &layout) {
    layout.recordBytes += sizeof(DataNode);
    if (node.is_null())
        return;
    const std::string &kind = node.at(0).get_ref<const std::string &>();
    if (kind == "s") {
        if (node.at(2).is_string())
            layout.textBytes += node.at(2).get_ref<const std::string &>().size() + 1;
        if (node.at(3).is_string())
            layout.textBytes += node.at(3).get_ref<const std::string &>().size() + 1;
    } else if (kind == "l") {
        for (const json &item : node.at(1)) {
            layout.recordBytes += sizeof(ListCell);
            measure(item, layout);
        }
    } else if (kind == "h") {
        for (const json &entry : node.at(1)) {
            layout.recordBytes += sizeof(HashEntry);
            layout.textBytes += entry.at(0).get_ref<const std::string &>().size() + 1;
            measure(entry.at(1), layout);
        }
    } else {
        throw StoreError{BAD_TREE};
    }
}

// Places the pieces of one tree in its block.
class Builder {
  public:
    Builder(char *block, const Layout &layout)
        : begin_(block), records_(block), texts_(block + layout.recordBytes),
          end_(block + layout.recordBytes + layout.textBytes) {}

    DataNode *node() { return record<DataNode>(); }

    void fill(DataNode *node, const json &value) {
        if (value.is_null())
            return;
        const std::string &kind = value[0].get_ref<const std::string &>();
        if (kind == "s") {
            fill_scalar(node, value);
        } else if (kind == "l") {
            node->kind = DATA_LIST;
            mark_block(node);
            ListCell **link = &node->u.list.firstCell;
            for (const json &item : value[1]) {
                auto *cell = record<ListCell>();
                cell->value = this->node();
                fill(cell->value, item);
                *link = cell;
                link = &cell->next;
            }
        } else {
            node->kind = DATA_HASH;
            mark_block(node);
            HashEntry **link = &node->u.hash.firstEntry;
            for (const json &entry : value[1]) {
                auto *placed = record<HashEntry>();
                placed->key = text(entry[0].get_ref<const std::string &>());
                placed->value = this->node();
                fill(placed->value, entry[1]);
                *link = placed;
                link = &placed->next;
            }
        }
    }

  private:
    template <typename Record> Record *record() {
        auto *placed = new (records_) Record{};
        records_ += sizeof(Record);
        return placed;
    }

    char *text(const std::string &value) {
        char *placed = texts_;
        std::memcpy(placed, value.c_str(), value.size() + 1);
        texts_ += value.size() + 1;
        return placed;
    }

    void fill_scalar(DataNode *node, const json &value) {
        node->kind = DATA_SCALAR;
        node->u.scalar.subtype = value[1].get<int32_t>();
        if (value[2].is_string())
            node->u.scalar.lib1 = text(value[2].get_ref<const std::string &>());
        if (value[3].is_number_integer())
            node->u.scalar.value.integer = value[3].get<int32_t>();
        else if (value[3].is_string())
            node->u.scalar.value.string = text(value[3].get_ref<const std::string &>());
    }

    void mark_block(DataNode *container) {
        container->u.scalar.lib1 = begin_;
        container->u.scalar.lib2 = end_;
    }

    char *begin_;
    char *records_;
    char *texts_;
    char *end_;
};

json natural_to_stored(const nlohmann::ordered_json &value, int depth) {
    if (depth > maxTreeDepth)
        throw StoreError{FILE_TOO_DEEP};
    if (value.is_null())
        return json::array({"s", SCALAR_EMPTY, nullptr, nullptr});
    if (value.is_string())
        return json::array({"s", SCALAR_CUSTOM, "string", value.get<std::string>()});
    if (value.is_number_integer()) {
        int64_t number = value.get<int64_t>();
        if (number < INT32_MIN || number > INT32_MAX)
            throw StoreError{FILE_INVALID};
        return json::array({"s", SCALAR_INTEGER, nullptr, number});
    }
    if (value.is_array()) {
        json items = json::array();
        for (const auto &item : value)
            items.push_back(natural_to_stored(item, depth + 1));
        return json::array({"l", std::move(items)});
    }
    if (value.is_object()) {
        json entries = json::array();
        for (const auto &[key, item] : value.items())
            entries.push_back(json::array({key, natural_to_stored(item, depth + 1)}));
        return json::array({"h", std::move(entries)});
    }
    throw StoreError{FILE_INVALID};
}

} // namespace

std::string serialise_tree(const DataNode *root) {
    Budget budget;
    return to_json(root, 0, budget).dump();
}

DataNode *deliver_tree(const std::string &stored) {
    json value = json::parse(stored, nullptr, false);
    if (value.is_discarded())
        throw StoreError{BAD_TREE};
    Layout layout;
    try {
        measure(value, layout);
    } catch (const json::exception &) {
        throw StoreError{BAD_TREE};
    }
    char *block = static_cast<char *>(std::calloc(1, layout.recordBytes + layout.textBytes));
    if (!block)
        throw StoreError{OUT_OF_MEMORY};
    Builder builder(block, layout);
    DataNode *root = builder.node();
    builder.fill(root, value);
    return root;
}

std::string stored_form_of(const nlohmann::ordered_json &value) { return natural_to_stored(value, 0).dump(); }

} // namespace kelbrin
