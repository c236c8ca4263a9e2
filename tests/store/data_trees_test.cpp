#include <algorithm>

#include "store_table.h"

namespace {

// A tree from the store is one block: the calls unlink pieces of it, link in
// the caller's own, and the whole is stored.
TEST_F(StoreTable, DataTreeCallsChangeOnlyWhatTheySay) {
    fresh_store();
    play(
        R"(settree root.Image.Zones {"zeta":"1","alpha":"2","list":["a","b","c"],"gone":"x","empty":[]})");
    int32_t err = 99;
    DataNode *tree = cli_getComplexParam("root.Image.Zones", &options, &err), bare{},
             *replacement = tree_of("new");
    DataNode *list = drep_getHashValue(tree, "list"), *empty = drep_getHashValue(tree, "empty");
    DataNode *fresh = drep_getNextToInHash(tree, nullptr, nullptr),
             *other = drep_getNextToInHash(tree, nullptr, nullptr);
    char text[] = "copied";
    drep_setHashValue(tree, replacement, "alpha");
    EXPECT_EQ(drep_getNextToInHash(tree, "zeta", nullptr), replacement)
        << "the hash holds the node itself";
    EXPECT_EQ(drep_deleteHashValue(tree, "gone") * 10 + drep_deleteHashValue(tree, "gone"), 10);
    drep_deleteListItem(list, list->u.list.firstCell->next->next); // the last
    drep_addToList(list, tree_of("d"));
    drep_deleteListItem(list, list->u.list.firstCell->next);
    ListCell stranger{};
    EXPECT_EQ(drep_deleteListItem(list, &stranger), kelbrin::NOT_FOUND);
    drep_setHashValue(tree, fresh, "fresh");
    drep_assignStringToCustom(fresh, text, 0);
    std::strcpy(text, "COPIED");
    drep_addToList(other, tree_of(3)); // a fresh node becomes a list, an integer a text
    drep_assignStringToCustom(other->u.list.firstCell->value, "auto", 0);
    drep_setHashValue(tree, other, "other");
    drep_addToList(empty, tree_of("e"));
    drep_addToList(empty, tree_of("f"));
    drep_deleteListItem(empty, empty->u.list.firstCell->next); // the last
    drep_addToList(empty, tree_of("g"));
    EXPECT_EQ(show(empty), R"(["e","g"])") << "appends go to the chain as it is now";
    drep_initializeList(empty);
    drep_addToList(empty, tree_of("h"));
    DataNode *plain = drep_getNextToInHash(tree, nullptr, nullptr);
    drep_initializeScalar(plain, SCALAR_STRING, nullptr);
    EXPECT_STREQ(drep_getStringFromCustom(plain, nullptr), "") << "a new text scalar's text is empty";
    bare.kind = DATA_SCALAR; // a text scalar without its text
    bare.u.scalar.subtype = SCALAR_STRING;
    drep_setHashValue(tree, &bare, "bare");
    drep_setHashValue(tree, drep_getNextToInHash(tree, nullptr, nullptr), "none");
    // Null pointers and nodes of the wrong kind: every call fails and changes nothing.
    EXPECT_LT(
        std::max(
            {drep_initializeHash(nullptr), drep_initializeList(nullptr),
             drep_initializeScalar(nullptr, 3, nullptr), drep_initializeScalar(tree, 4, nullptr),
             drep_assignStringToCustom(nullptr, "x", 0), drep_assignStringToCustom(tree, "x", 0),
             drep_setHashValue(tree, nullptr, "k"), drep_setHashValue(nullptr, tree, "k"),
             drep_setHashValue(list, tree, "k"), drep_deleteHashValue(nullptr, "k"),
             drep_deleteHashValue(list, "k"), drep_deleteListItem(nullptr, nullptr),
             drep_addToList(nullptr, tree), drep_addToList(tree, tree)}),
        0);
    for (void *none :
         {(void *)drep_getStringFromCustom(nullptr, nullptr),
          (void *)drep_getHashValue(nullptr, "k"), (void *)drep_getHashValue(tree, "missing"),
          (void *)drep_getFirstOfList(nullptr),
          (void *)drep_getNextToInHash(nullptr, nullptr, nullptr)})
        EXPECT_EQ(none, nullptr);
    EXPECT_EQ(cli_setComplexParam("root.Image.Zones", tree, &options, &err), 0);
    std::free(tree);
    EXPECT_EQ(run("tree root.Image.Zones"),
              R"({"zeta":"1","alpha":"new","list":["a","d"],"empty":["h"],)"
              R"("fresh":"copied","other":["auto"],"bare":"","none":false})");
}

} // namespace
