// The interface's data tree functions (drep_*): building and changing the
// trees of complex values, node by node.
#include <kelbrin.h>

#include <cstdlib>
#include <cstring>

#include "base/errors.h"
#include "capi/export.h"

using kelbrin::StoreError;

namespace {

// A scalar's text and type name are either malloc'd on their own (these
// bits set in libWord) or part of a delivered block (freed with its root).
constexpr int32_t ownsText = 1;
constexpr int32_t ownsTypeName = 2;

const char *type_name(const DataNode *scalar) { return static_cast<const char *>(scalar->u.scalar.lib1); }

// Lists and hashes delivered by deliver_tree remember their block's bounds in
// the two words the program never reads for them, so that unlinking a cell
// or entry frees it only when it was malloc'd on its own.
void *&block_begin(DataNode *container) { return container->u.scalar.lib1; }
void *&block_end(DataNode *container) { return container->u.scalar.lib2; }

bool inside_block(DataNode *container, const void *piece) {
    auto *begin = static_cast<const char *>(block_begin(container));
    auto *end = static_cast<const char *>(block_end(container));
    auto *address = static_cast<const char *>(piece);
    return begin && address >= begin && address < end;
}

// A list remembers its last cell in the scalar's text word, which the
// program never reads for a list, so that appending does not walk the whole
// chain (building a list of n items took n * n / 2 steps). Every function here
// that unlinks cells keeps it right; a fresh or emptied node has none. A
// caller that appended cells itself is caught up with by walking on from it.
ListCell *last_cell(const DataNode *list) { return reinterpret_cast<ListCell *>(list->u.scalar.value.string); }
void remember_last_cell(DataNode *list, ListCell *cell) { list->u.scalar.value.string = reinterpret_cast<char *>(cell); }

void release_cell(DataNode *list, ListCell *cell) {
    if (!inside_block(list, cell))
        std::free(cell);
}

void release_entry(DataNode *hash, HashEntry *entry) {
    if (!inside_block(hash, entry)) {
        std::free(entry->key);
        std::free(entry);
    }
}

// Drops what the node itself holds (not the nodes below it, which may be
// shared with another tree) and leaves it a fresh node.
void release_contents(DataNode *node) {
    if (node->kind == DATA_SCALAR) {
        if (node->libWord & ownsText)
            std::free(node->u.scalar.value.string);
        if (node->libWord & ownsTypeName)
            std::free(node->u.scalar.lib1);
    } else if (node->kind == DATA_LIST) {
        for (ListCell *cell = node->u.list.firstCell, *next; cell; cell = next) {
            next = cell->next;
            release_cell(node, cell);
        }
    } else if (node->kind == DATA_HASH) {
        for (HashEntry *entry = node->u.hash.firstEntry, *next; entry; entry = next) {
            next = entry->next;
            release_entry(node, entry);
        }
    }
    std::memset(node, 0, sizeof *node);
}

char *copy_text(const char *text) {
    std::size_t size = std::strlen(text) + 1;
    auto *copy = static_cast<char *>(std::malloc(size));
    if (copy)
        std::memcpy(copy, text, size);
    return copy;
}

int32_t make_container(DataNode *node, int32_t kind) {
    if (!node)
        return kelbrin::INVALID_ARGUMENT;
    release_contents(node);
    node->kind = kind;
    return 0;
}

// A fresh node takes the kind of the first operation made on it, so a node
// from drep_getNextToInHash can be filled like any other.
bool adopt_kind(DataNode *node, int32_t kind) {
    if (node->kind == DATA_NONE)
        node->kind = kind;
    return node->kind == kind;
}

} // namespace

KELBRIN_API DataNode *drep_createData(void) { return static_cast<DataNode *>(std::calloc(1, sizeof(DataNode))); }

KELBRIN_API int32_t drep_initializeHash(DataNode *n) { return make_container(n, DATA_HASH); }

KELBRIN_API int32_t drep_initializeList(DataNode *n) { return make_container(n, DATA_LIST); }

KELBRIN_API int32_t drep_initializeScalar(DataNode *n, int32_t subtype, const char *typeName) {
    if (!n || subtype < SCALAR_EMPTY || subtype > SCALAR_CUSTOM)
        return kelbrin::INVALID_ARGUMENT;
    char *typeCopy = typeName ? copy_text(typeName) : nullptr;
    char *emptyText = subtype >= SCALAR_STRING ? copy_text("") : nullptr;
    if ((typeName && !typeCopy) || (subtype >= SCALAR_STRING && !emptyText)) {
        std::free(typeCopy);
        std::free(emptyText);
        return kelbrin::OUT_OF_MEMORY;
    }
    release_contents(n);
    n->kind = DATA_SCALAR;
    n->u.scalar.subtype = subtype;
    if (emptyText) {
        n->u.scalar.value.string = emptyText;
        n->libWord |= ownsText;
    }
    if (typeCopy) {
        n->u.scalar.lib1 = typeCopy;
        n->libWord |= ownsTypeName;
    }
    return 0;
}

// The text is copied: the node never points into the caller's memory. An
// empty or integer scalar becomes a custom "string" scalar holding the text.
KELBRIN_API int32_t drep_assignStringToCustom(DataNode *n, const char *text, int32_t) {
    if (!n || !text)
        return kelbrin::INVALID_ARGUMENT;
    if (n->kind == DATA_NONE && drep_initializeScalar(n, SCALAR_CUSTOM, "string") != 0)
        return kelbrin::OUT_OF_MEMORY;
    if (n->kind != DATA_SCALAR)
        return kelbrin::WRONG_NODE_KIND;
    char *copy = copy_text(text);
    if (!copy)
        return kelbrin::OUT_OF_MEMORY;
    if (n->u.scalar.subtype != SCALAR_STRING && n->u.scalar.subtype != SCALAR_CUSTOM) {
        n->u.scalar.subtype = SCALAR_CUSTOM;
        if (!type_name(n)) {
            n->u.scalar.lib1 = copy_text("string");
            if (n->u.scalar.lib1)
                n->libWord |= ownsTypeName;
        }
    } else if (n->libWord & ownsText) {
        std::free(n->u.scalar.value.string);
    }
    n->u.scalar.value.string = copy;
    n->libWord |= ownsText;
    return 0;
}

KELBRIN_API char *drep_getStringFromCustom(DataNode *n, char *) {
    if (!n || n->kind != DATA_SCALAR)
        return nullptr;
    if (n->u.scalar.subtype != SCALAR_STRING && n->u.scalar.subtype != SCALAR_CUSTOM)
        return nullptr;
    return n->u.scalar.value.string;
}

KELBRIN_API DataNode *drep_getHashValue(DataNode *hash, const char *key) {
    if (!hash || !key || hash->kind != DATA_HASH)
        return nullptr;
    for (HashEntry *entry = hash->u.hash.firstEntry; entry; entry = entry->next)
        if (std::strcmp(entry->key, key) == 0)
            return entry->value;
    return nullptr;
}

// The hash holds the node itself (not a copy), so later changes to the node
// show in the hash; the key is copied.
KELBRIN_API int32_t drep_setHashValue(DataNode *hash, DataNode *value, const char *key) {
    if (!hash || !value || !key)
        return kelbrin::INVALID_ARGUMENT;
    if (!adopt_kind(hash, DATA_HASH))
        return kelbrin::WRONG_NODE_KIND;
    HashEntry **link = &hash->u.hash.firstEntry;
    for (; *link; link = &(*link)->next) {
        if (std::strcmp((*link)->key, key) == 0) {
            (*link)->value = value;
            return 0;
        }
    }
    auto *entry = static_cast<HashEntry *>(std::malloc(sizeof(HashEntry)));
    char *keyCopy = copy_text(key);
    if (!entry || !keyCopy) {
        std::free(entry);
        std::free(keyCopy);
        return kelbrin::OUT_OF_MEMORY;
    }
    *entry = HashEntry{nullptr, keyCopy, value};
    *link = entry;
    return 0;
}

// With no keys: a fresh node, for the caller to store under a new key. With
// a key in from: the value stored after that key (null after the last), so
// a caller can walk the hash; to is not used and must be null.
KELBRIN_API DataNode *drep_getNextToInHash(DataNode *hash, const char *from, const char *to) {
    if (!hash || to || (hash->kind != DATA_HASH && hash->kind != DATA_NONE))
        return nullptr;
    if (!from)
        return drep_createData();
    if (hash->kind != DATA_HASH)
        return nullptr;
    for (HashEntry *entry = hash->u.hash.firstEntry; entry; entry = entry->next)
        if (std::strcmp(entry->key, from) == 0)
            return entry->next ? entry->next->value : nullptr;
    return nullptr;
}

// Unlinks the entry; its value node stays the caller's, since trees may share nodes.
KELBRIN_API int32_t drep_deleteHashValue(DataNode *hash, const char *key) {
    if (!hash || !key)
        return kelbrin::INVALID_ARGUMENT;
    if (hash->kind != DATA_HASH)
        return kelbrin::WRONG_NODE_KIND;
    for (HashEntry **link = &hash->u.hash.firstEntry; *link; link = &(*link)->next) {
        if (std::strcmp((*link)->key, key) == 0) {
            HashEntry *entry = *link;
            *link = entry->next;
            release_entry(hash, entry);
            return 1;
        }
    }
    return 0;
}

KELBRIN_API ListCell *drep_getFirstOfList(DataNode *list) {
    if (!list || list->kind != DATA_LIST)
        return nullptr;
    return list->u.list.firstCell;
}

// Unlinks the cell; its item node stays the caller's, since trees may share nodes.
KELBRIN_API int32_t drep_deleteListItem(DataNode *list, ListCell *item) {
    if (!list || !item)
        return kelbrin::INVALID_ARGUMENT;
    if (list->kind != DATA_LIST)
        return kelbrin::WRONG_NODE_KIND;
    for (ListCell **link = &list->u.list.firstCell; *link; link = &(*link)->next) {
        if (*link == item) {
            *link = item->next;
            if (last_cell(list) == item)
                remember_last_cell(list, nullptr);
            release_cell(list, item);
            return 0;
        }
    }
    return kelbrin::NOT_FOUND;
}

KELBRIN_API int32_t drep_addToList(DataNode *list, DataNode *node) {
    if (!list || !node)
        return kelbrin::INVALID_ARGUMENT;
    if (!adopt_kind(list, DATA_LIST))
        return kelbrin::WRONG_NODE_KIND;
    auto *cell = static_cast<ListCell *>(std::malloc(sizeof(ListCell)));
    if (!cell)
        return kelbrin::OUT_OF_MEMORY;
    *cell = ListCell{node, nullptr};
    ListCell *last = list->u.list.firstCell ? last_cell(list) : nullptr;
    ListCell **link = last ? &last->next : &list->u.list.firstCell;
    while (*link)
        link = &(*link)->next;
    *link = cell;
    remember_last_cell(list, cell);
    return 0;
}
