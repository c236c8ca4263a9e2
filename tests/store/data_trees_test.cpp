#include <cstring>

#include "errors.h"
#include "store_fixture.h"

namespace {

std::vector<std::string> keys_of(DataNode *hash) {
    std::vector<std::string> keys;
    for (HashEntry *entry = hash->u.hash.firstEntry; entry; entry = entry->next)
        keys.push_back(entry->key);
    return keys;
}

std::string text_of(DataNode *scalar) {
    char flag = 0;
    const char *text = drep_getStringFromCustom(scalar, &flag);
    return text ? text : "<null>";
}

DataNode *custom(const char *text) {
    DataNode *node = drep_createData();
    drep_initializeScalar(node, SCALAR_CUSTOM, "string");
    drep_assignStringToCustom(node, text, 0);
    return node;
}

TEST(DataTree, HashKeepsInsertionOrderAndReplacesInPlace) {
    DataNode *hash = drep_createData();
    ASSERT_EQ(drep_initializeHash(hash), 0);
    for (const char *key : {"zeta", "alpha", "mid"})
        ASSERT_EQ(drep_setHashValue(hash, custom(key), key), 0);
    DataNode *replaced = drep_getHashValue(hash, "alpha");
    DataNode *replacement = custom("new");
    ASSERT_EQ(drep_setHashValue(hash, replacement, "alpha"), 0);

    EXPECT_EQ(keys_of(hash), (std::vector<std::string>{"zeta", "alpha", "mid"}));
    EXPECT_EQ(drep_getHashValue(hash, "alpha"), replacement) << "the hash holds the caller's node itself";
    EXPECT_EQ(drep_getHashValue(hash, "missing"), nullptr);
    release_tree(replaced);
    release_tree(hash);
}

TEST(DataTree, DeletingAHashEntryCountsWhatWentAway) {
    DataNode *hash = drep_createData();
    drep_initializeHash(hash);
    DataNode *deleted = custom("1");
    drep_setHashValue(hash, deleted, "a");
    drep_setHashValue(hash, custom("2"), "b");
    EXPECT_EQ(drep_deleteHashValue(hash, "a"), 1);
    EXPECT_EQ(drep_deleteHashValue(hash, "a"), 0);
    EXPECT_EQ(keys_of(hash), std::vector<std::string>{"b"});
    DataNode *list = drep_createData();
    drep_initializeList(list);
    EXPECT_LT(drep_deleteHashValue(list, "a"), 0) << "not a hash";
    EXPECT_EQ(text_of(deleted), "1") << "the value node stays the caller's";
    release_tree(deleted);
    release_tree(hash);
    release_tree(list);
}

TEST(DataTree, ListAppendsAndDeletesItems) {
    DataNode *list = drep_createData();
    drep_initializeList(list);
    EXPECT_EQ(drep_getFirstOfList(list), nullptr);
    for (const char *text : {"a", "b", "c"})
        ASSERT_EQ(drep_addToList(list, custom(text)), 0);
    ListCell *first = drep_getFirstOfList(list);
    EXPECT_EQ(text_of(first->value), "a");
    EXPECT_EQ(text_of(first->next->next->value), "c");

    DataNode *middle = first->next->value;
    ASSERT_EQ(drep_deleteListItem(list, first->next), 0);
    release_tree(middle);
    EXPECT_EQ(text_of(drep_getFirstOfList(list)->next->value), "c");
    ListCell stranger{};
    EXPECT_EQ(drep_deleteListItem(list, &stranger), kelbrin::NOT_FOUND);
    release_tree(list);
}

std::vector<std::string> texts_of(DataNode *list) {
    std::vector<std::string> texts;
    for (ListCell *cell = drep_getFirstOfList(list); cell; cell = cell->next)
        texts.push_back(text_of(cell->value));
    return texts;
}

// Appends go to the end of the chain as it is now, whatever was unlinked
// before: the last item, every item, or a list emptied by initialising it.
TEST(DataTree, AppendsFollowTheChainAfterDeletes) {
    DataNode *list = drep_createData();
    drep_initializeList(list);
    for (const char *text : {"a", "b", "c"})
        drep_addToList(list, custom(text));
    ListCell *last = drep_getFirstOfList(list)->next->next;
    DataNode *lastValue = last->value;
    ASSERT_EQ(drep_deleteListItem(list, last), 0);
    drep_addToList(list, custom("d"));
    EXPECT_EQ(texts_of(list), (std::vector<std::string>{"a", "b", "d"}));

    std::vector<DataNode *> removed{lastValue};
    while (ListCell *first = drep_getFirstOfList(list)) {
        removed.push_back(first->value);
        ASSERT_EQ(drep_deleteListItem(list, first), 0);
    }
    drep_addToList(list, custom("e"));
    drep_addToList(list, custom("f"));
    EXPECT_EQ(texts_of(list), (std::vector<std::string>{"e", "f"}));

    removed.push_back(drep_getFirstOfList(list)->value);
    removed.push_back(drep_getFirstOfList(list)->next->value);
    drep_initializeList(list);
    drep_addToList(list, custom("g"));
    EXPECT_EQ(texts_of(list), std::vector<std::string>{"g"});
    for (DataNode *node : removed)
        release_tree(node);
    release_tree(list);
}

TEST(DataTree, NextToInHashWithNoKeysGivesAFreshNodeToFill) {
    DataNode *hash = drep_createData();
    drep_initializeHash(hash);
    DataNode *fresh = drep_getNextToInHash(hash, nullptr, nullptr);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->kind, DATA_NONE);
    EXPECT_EQ(hash->u.hash.firstEntry, nullptr) << "not stored until the caller says so";
    ASSERT_EQ(drep_setHashValue(hash, fresh, "k"), 0);
    ASSERT_EQ(drep_assignStringToCustom(fresh, "v", 0), 0);
    EXPECT_EQ(fresh->u.scalar.subtype, SCALAR_CUSTOM);
    EXPECT_EQ(text_of(drep_getHashValue(hash, "k")), "v");

    DataNode *another = drep_getNextToInHash(hash, nullptr, nullptr);
    ASSERT_EQ(drep_addToList(another, custom("item")), 0) << "a fresh node can become a list too";
    EXPECT_EQ(another->kind, DATA_LIST);
    release_tree(another);
    release_tree(hash);
}

TEST(DataTree, AssignedTextIsCopiedNotBorrowed) {
    char text[] = "original";
    DataNode *node = drep_createData();
    drep_initializeScalar(node, SCALAR_CUSTOM, "string");
    drep_assignStringToCustom(node, text, 0);
    std::strcpy(text, "changed!");
    EXPECT_EQ(text_of(node), "original");
    release_tree(node);
}

TEST(DataTree, IntegerScalarTakesTextAsCustom) {
    DataNode *node = drep_createData();
    drep_initializeScalar(node, SCALAR_INTEGER, nullptr);
    node->u.scalar.value.integer = 3;
    ASSERT_EQ(drep_assignStringToCustom(node, "auto", 0), 0);
    EXPECT_EQ(node->u.scalar.subtype, SCALAR_CUSTOM);
    EXPECT_EQ(text_of(node), "auto");
    release_tree(node);
}

TEST(DataTree, NullArgumentsGiveErrorsNotCrashes) {
    DataNode *hash = drep_createData();
    drep_initializeHash(hash);
    EXPECT_LT(drep_initializeHash(nullptr), 0);
    EXPECT_LT(drep_initializeList(nullptr), 0);
    EXPECT_LT(drep_initializeScalar(nullptr, SCALAR_CUSTOM, "string"), 0);
    EXPECT_LT(drep_initializeScalar(hash, 9, "string"), 0);
    EXPECT_LT(drep_assignStringToCustom(nullptr, "x", 0), 0);
    EXPECT_LT(drep_assignStringToCustom(hash, "x", 0), 0) << "a hash has no text";
    EXPECT_EQ(drep_getStringFromCustom(nullptr, nullptr), nullptr);
    EXPECT_EQ(drep_getHashValue(nullptr, "k"), nullptr);
    EXPECT_EQ(drep_getHashValue(hash, nullptr), nullptr);
    EXPECT_LT(drep_setHashValue(hash, nullptr, "k"), 0);
    EXPECT_LT(drep_setHashValue(nullptr, hash, "k"), 0);
    EXPECT_EQ(drep_getNextToInHash(nullptr, nullptr, nullptr), nullptr);
    EXPECT_LT(drep_deleteHashValue(nullptr, "k"), 0);
    EXPECT_EQ(drep_getFirstOfList(nullptr), nullptr);
    EXPECT_LT(drep_deleteListItem(nullptr, nullptr), 0);
    EXPECT_LT(drep_addToList(nullptr, hash), 0);
    EXPECT_LT(drep_addToList(hash, hash), 0) << "a hash is no list";
    release_tree(hash);
}

// Stored trees come back whole, in order, and the caller frees only the root.
TEST_F(StoreTest, ComplexValueRoundTripsThroughTheStore) {
    load_ok(deviceFile);
    int32_t err = 99;
    DataNode *stored = cli_getComplexParam("root.Image.Zones", &options, &err);
    ASSERT_EQ(err, 0);
    ASSERT_EQ(keys_of(stored), (std::vector<std::string>{"mode", "ports", "count"}));

    // The merges a caller makes: replace a text, empty and refill a list,
    // add a key through a fresh node, delete a key.
    drep_assignStringToCustom(drep_getHashValue(stored, "mode"), "manual", 0);
    DataNode *ports = drep_getHashValue(stored, "ports");
    while (ports->u.list.firstCell)
        ASSERT_EQ(drep_deleteListItem(ports, drep_getFirstOfList(ports)), 0);
    DataNode *added = custom("8080");
    drep_addToList(ports, added);
    DataNode *fresh = drep_getNextToInHash(stored, nullptr, nullptr);
    drep_setHashValue(stored, fresh, "label");
    drep_assignStringToCustom(fresh, "front", 0);
    ASSERT_EQ(drep_deleteHashValue(stored, "count"), 1);
    cli_setComplexParam("root.Image.Zones", stored, &options, &err);
    ASSERT_EQ(err, 0);
    // What the caller added lives outside the delivered block: unlink and release it.
    drep_deleteListItem(ports, drep_getFirstOfList(ports));
    drep_deleteHashValue(stored, "label");
    release_tree(added);
    release_tree(fresh);
    drep_initializeList(drep_getHashValue(stored, "mode"));
    std::free(stored);

    DataNode *again = cli_getComplexParam("root.Image.Zones", &options, &err);
    ASSERT_EQ(err, 0);
    EXPECT_EQ(keys_of(again), (std::vector<std::string>{"mode", "ports", "label"}));
    EXPECT_EQ(text_of(drep_getHashValue(again, "mode")), "manual");
    ListCell *first = drep_getFirstOfList(drep_getHashValue(again, "ports"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(text_of(first->value), "8080");
    EXPECT_EQ(first->next, nullptr);
    EXPECT_EQ(text_of(drep_getHashValue(again, "label")), "front");
    std::free(again);
}

TEST_F(StoreTest, TreesThatCannotBeStoredAreRefused) {
    load_ok(deviceFile);
    int32_t err = 99;
    DataNode *cyclic = drep_createData();
    drep_initializeList(cyclic);
    drep_addToList(cyclic, cyclic);
    cli_setComplexParam("root.Image.Zones", cyclic, &options, &err);
    EXPECT_EQ(err, kelbrin::BAD_TREE);
    drep_deleteListItem(cyclic, drep_getFirstOfList(cyclic));
    release_tree(cyclic);

    DataNode odd{};
    odd.kind = 42;
    cli_setComplexParam("root.Image.Zones", &odd, &options, &err);
    EXPECT_EQ(err, kelbrin::BAD_TREE);

    DataNode *stored = cli_getComplexParam("root.Image.Zones", &options, &err);
    ASSERT_EQ(err, 0);
    EXPECT_EQ(keys_of(stored), (std::vector<std::string>{"mode", "ports", "count"})) << "unchanged";
    std::free(stored);
}

TEST_F(StoreTest, FreshNodeStoredAsItIsReadsBackAsAFreshNode) {
    load_ok(deviceFile);
    int32_t err = 99;
    DataNode *stored = cli_getComplexParam("root.Image.Zones", &options, &err);
    DataNode *fresh = drep_getNextToInHash(stored, nullptr, nullptr);
    drep_setHashValue(stored, fresh, "empty");
    cli_setComplexParam("root.Image.Zones", stored, &options, &err);
    ASSERT_EQ(err, 0);
    drep_deleteHashValue(stored, "empty");
    std::free(fresh);
    std::free(stored);
    stored = cli_getComplexParam("root.Image.Zones", &options, &err);
    ASSERT_NE(drep_getHashValue(stored, "empty"), nullptr);
    EXPECT_EQ(drep_getHashValue(stored, "empty")->kind, DATA_NONE);
    std::free(stored);
}

} // namespace

namespace {

TEST_F(StoreTest, TextScalarWithoutTextReadsBackAsEmptyText) {
    load_ok(deviceFile);
    DataNode bare{};
    bare.kind = DATA_SCALAR;
    bare.u.scalar.subtype = SCALAR_STRING;
    DataNode *hash = drep_createData();
    drep_initializeHash(hash);
    drep_setHashValue(hash, &bare, "bare");
    int32_t err = 99;
    cli_setComplexParam("root.Image.Zones", hash, &options, &err);
    ASSERT_EQ(err, 0);
    drep_deleteHashValue(hash, "bare");
    release_tree(hash);

    DataNode *stored = cli_getComplexParam("root.Image.Zones", &options, &err);
    ASSERT_EQ(err, 0);
    DataNode *back = drep_getHashValue(stored, "bare");
    ASSERT_NE(back, nullptr);
    ASSERT_NE(back->u.scalar.value.string, nullptr);
    EXPECT_STREQ(back->u.scalar.value.string, "");
    std::free(stored);
}

} // namespace
