// How a new dynamic group's number and limit are found: from the names in
// the store and the template's own groups, not from a walk of the parent.
#include "store_fixture.h"

namespace {

const char *twoTemplates = R"({
  "groups": [ { "group": "root.Door", "items": [ { "group": "B1" } ] }, { "group": "root.Gate" } ],
  "templates": [
    { "template": "badge", "parent": "root.Door", "prefix": "B", "max": 3,
      "items": [ { "parameter": "Label", "value": "none" } ] },
    { "template": "wide", "parent": "root.Door", "prefix": "B2", "items": [] }
  ]
})";

class GroupNumberTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        load_ok(twoTemplates);
    }
};

// B1 is a declared group, and "wide" number 0 is named B20: the lowest free
// number of "badge" skips both names, whoever holds them.
TEST_F(GroupNumberTest, LowestFreeNumberSkipsNamesHeldByAnyItem) {
    ASSERT_EQ(create_group("root.Door", "wide", 0), "B20");
    ASSERT_EQ(create_group("root.Door", "wide", 3), "B23");
    EXPECT_EQ(create_group("root.Door", "badge", -1), "B0");
    EXPECT_EQ(create_group("root.Door", "badge", -1), "B2") << "B1 is declared";
    EXPECT_EQ(create_group("root.Door", "badge", 20), "<error -4>") << "B20 is wide's";
    EXPECT_EQ(create_group("root.Door", "badge", -1), "B3");
    EXPECT_EQ(create_group("root.Door", "badge", -1), "<error -8>") << "wide's groups do not count";
}

// A template moved to another parent counts only the groups under the new
// one, and a template changed in the same process gives its new parameters.
TEST_F(GroupNumberTest, ReloadedTemplateCountsAndFillsItsNewGroups) {
    ASSERT_EQ(create_group("root.Door", "badge", 5), "B5");
    ASSERT_EQ(create_group("root.Door", "badge", 6), "B6");
    ASSERT_EQ(create_group("root.Door", "badge", 7), "B7");
    load_ok(
        R"({ "groups": [], "templates": [ { "template": "badge", "parent": "root.Gate", "prefix": "B",
                 "max": 3, "items": [ { "parameter": "Name", "value": "n" } ] } ] })");
    EXPECT_EQ(create_group("root.Gate", "badge", -1), "B0");
    EXPECT_EQ(get("root.Gate.B0.Name"), "n");
    EXPECT_EQ(get("root.Gate.B0.Label"), "<error -2>");
    EXPECT_EQ(get("root.Door.B5.Label"), "none") << "groups made before keep theirs";
}

} // namespace
