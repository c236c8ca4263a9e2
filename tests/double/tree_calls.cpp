// The data tree calls: real trees in malloc'd memory, as the interface
// describes them.
#include <cstdlib>
#include <cstring>
#include <kelbrin.h>
#include <string>

#include "call_log.h"
#include "errors.h"
#include "support/log_format.h"
#include "trees.h"

using namespace kelbrin_double;
using test_logs::quoted;

namespace {

bool same_key(const char *left, const char *right) {
    return left == right || (left != nullptr && right != nullptr && std::strcmp(left, right) == 0);
}

bool is_kind(const DataNode *node, int kind) {
    return node != nullptr && node->kind == kind;
}

// Makes the node that kind, emptied.
int32_t initialize(Call &call, DataNode *node, int kind) {
    if (call.failing())
        return call.code();
    if (node == nullptr)
        return call.fail(errorNullArgument);
    std::memset(&node->u, 0, sizeof node->u);
    node->kind = kind;
    return 0;
}

std::string cell_name(const ListCell *cell) {
    return cell == nullptr ? "NULL" : "cell";
}

} // namespace

extern "C" {

DataNode *drep_createData(void) {
    Call call("drep_createData", "", nullptr);
    DataNode *node = call.failing() ? nullptr : new_node();
    call.returns(object_name(node));
    return node;
}

int32_t drep_initializeHash(DataNode *n) {
    Call call("drep_initializeHash", object_name(n), nullptr);
    return initialize(call, n, DATA_HASH);
}

int32_t drep_initializeList(DataNode *n) {
    Call call("drep_initializeList", object_name(n), nullptr);
    return initialize(call, n, DATA_LIST);
}

int32_t drep_initializeScalar(DataNode *n, int32_t subtype, const char *typeName) {
    Call call("drep_initializeScalar",
              object_name(n) + ", " + std::to_string(subtype) + ", " + quoted(typeName), typeName);
    int32_t status = initialize(call, n, DATA_SCALAR);
    if (status == 0)
        n->u.scalar.subtype = subtype;
    return status;
}

int32_t drep_assignStringToCustom(DataNode *n, const char *text, int32_t flags) {
    Call call("drep_assignStringToCustom",
              object_name(n) + ", " + quoted(text) + ", " + std::to_string(flags), text);
    if (call.failing())
        return call.code();
    if (!is_kind(n, DATA_SCALAR))
        return call.fail(errorNullArgument);
    // A copy, so the caller's text may go at once.
    std::free(n->u.scalar.value.string);
    n->u.scalar.value.string = copy_text(text);
    return 0;
}

char *drep_getStringFromCustom(DataNode *n, char *flag) {
    Call call("drep_getStringFromCustom", object_name(n), nullptr);
    if (flag != nullptr)
        *flag = 0;
    if (call.failing() || !is_kind(n, DATA_SCALAR) || n->u.scalar.subtype < SCALAR_STRING)
        return nullptr;
    return n->u.scalar.value.string;
}

DataNode *drep_getHashValue(DataNode *hash, const char *key) {
    Call call("drep_getHashValue", object_name(hash) + ", " + quoted(key), key);
    DataNode *found = nullptr;
    if (!call.failing() && is_kind(hash, DATA_HASH))
        for (HashEntry *entry = hash->u.hash.firstEntry; entry != nullptr; entry = entry->next)
            if (same_key(entry->key, key)) {
                found = entry->value;
                break;
            }
    call.returns(object_name(found));
    return found;
}

int32_t drep_setHashValue(DataNode *hash, DataNode *value, const char *key) {
    Call call("drep_setHashValue",
              object_name(hash) + ", " + object_name(value) + ", " + quoted(key), key);
    if (call.failing())
        return call.code();
    if (!is_kind(hash, DATA_HASH))
        return call.fail(errorNullArgument);
    HashEntry **link = &hash->u.hash.firstEntry;
    for (; *link != nullptr; link = &(*link)->next)
        if (same_key((*link)->key, key)) {
            (*link)->value = value; // in place: the key keeps its position
            return 0;
        }
    auto *entry = static_cast<HashEntry *>(std::calloc(1, sizeof(HashEntry)));
    entry->key = copy_text(key);
    entry->value = value;
    *link = entry;
    return 0;
}

// Only the form with two nulls is served: a fresh node for a new key.
DataNode *drep_getNextToInHash(DataNode *hash, const char *from, const char *to) {
    Call call("drep_getNextToInHash", object_name(hash) + ", " + quoted(from) + ", " + quoted(to),
              from);
    DataNode *node = nullptr;
    if (!call.failing() && is_kind(hash, DATA_HASH) && from == nullptr && to == nullptr)
        node = new_node();
    call.returns(object_name(node));
    return node;
}

int32_t drep_deleteHashValue(DataNode *hash, const char *key) {
    Call call("drep_deleteHashValue", object_name(hash) + ", " + quoted(key), key);
    int32_t deleted = 0;
    if (call.failing()) {
        deleted = call.code();
    } else if (!is_kind(hash, DATA_HASH)) {
        deleted = call.fail(errorNullArgument);
    } else {
        for (HashEntry **link = &hash->u.hash.firstEntry; *link != nullptr;) {
            HashEntry *entry = *link;
            if (!same_key(entry->key, key)) {
                link = &entry->next;
                continue;
            }
            *link = entry->next;
            std::free(entry->key);
            std::free(entry);
            ++deleted;
        }
    }
    call.returns(std::to_string(deleted));
    return deleted;
}

ListCell *drep_getFirstOfList(DataNode *list) {
    Call call("drep_getFirstOfList", object_name(list), nullptr);
    ListCell *first =
        call.failing() || !is_kind(list, DATA_LIST) ? nullptr : list->u.list.firstCell;
    call.returns(cell_name(first));
    return first;
}

int32_t drep_deleteListItem(DataNode *list, ListCell *item) {
    Call call("drep_deleteListItem", object_name(list) + ", " + cell_name(item), nullptr);
    if (call.failing())
        return call.code();
    if (!is_kind(list, DATA_LIST) || item == nullptr)
        return call.fail(errorNullArgument);
    for (ListCell **link = &list->u.list.firstCell; *link != nullptr; link = &(*link)->next)
        if (*link == item) {
            *link = item->next;
            std::free(item);
            return 0;
        }
    return call.fail(errorUnknownName);
}

int32_t drep_addToList(DataNode *list, DataNode *node) {
    Call call("drep_addToList", object_name(list) + ", " + object_name(node), nullptr);
    if (call.failing())
        return call.code();
    if (!is_kind(list, DATA_LIST))
        return call.fail(errorNullArgument);
    ListCell **link = &list->u.list.firstCell;
    while (*link != nullptr)
        link = &(*link)->next;
    *link = static_cast<ListCell *>(std::calloc(1, sizeof(ListCell)));
    (*link)->value = node;
    return 0;
}

} // extern "C"
