#include "errors.h"
#include "store_fixture.h"

namespace {

class DynamicGroupTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        load_ok(deviceFile);
    }

    std::string create(int32_t number, const char *parent = "root.Badge", const char *from = "badge") {
        return create_group(parent, from, number);
    }

    int32_t remove(const char *group) {
        int32_t err = 99;
        cli_deleteGroup(group, &options, &err);
        return err;
    }
};

TEST_F(DynamicGroupTest, WithoutNumberTakesTheLowestFreeOne) {
    EXPECT_EQ(create(-1), "B0");
    EXPECT_EQ(create(2), "B2");
    EXPECT_EQ(create(-1), "B1");
    EXPECT_EQ(get("root.Badge.B1.Label"), "none") << "the template's defaults";
    EXPECT_EQ(parameters_in("root.Badge.B1"), (std::vector<std::string>{"root.Badge.B1.Label", "root.Badge.B1.Tags"}));
}

TEST_F(DynamicGroupTest, RequestedNumberThatIsTakenGivesMinusFour) {
    ASSERT_EQ(create(1), "B1");
    EXPECT_EQ(create(1), "<error -4>");
}

TEST_F(DynamicGroupTest, TemplateAtItsMaximumGivesMinusEight) {
    ASSERT_EQ(create(-1), "B0");
    ASSERT_EQ(create(-1), "B1");
    ASSERT_EQ(create(7), "B7");
    EXPECT_EQ(create(-1), "<error -8>");
    EXPECT_EQ(create(5), "<error -8>");
    ASSERT_EQ(remove("root.Badge.B1"), 0);
    EXPECT_EQ(create(-1), "B1") << "deleting one makes room again";
}

TEST_F(DynamicGroupTest, WrongParentUnknownTemplateAndBadNumberHaveTheirOwnCodes) {
    EXPECT_EQ(create(-1, "root.Other"), "<error " + std::to_string(kelbrin::TEMPLATE_PARENT_MISMATCH) + ">");
    EXPECT_EQ(create(-1, "root.Badge", "nosuch"), "<error " + std::to_string(kelbrin::UNKNOWN_TEMPLATE) + ">");
    EXPECT_EQ(create(-1, "root.Missing"), "<error " + std::to_string(kelbrin::UNKNOWN_GROUP) + ">");
    EXPECT_EQ(create(-7), "<error " + std::to_string(kelbrin::BAD_GROUP_NUMBER) + ">");
    EXPECT_EQ(child_groups_of("root.Badge"), std::vector<std::string>{});
}

TEST_F(DynamicGroupTest, DeletingRemovesTheGroupWithEverythingUnderIt) {
    ASSERT_EQ(create(3), "B3");
    ASSERT_EQ(create(4), "B4");
    ASSERT_EQ(set("root.Badge.B3.Label", "front door"), 0);

    EXPECT_EQ(remove("root.badge.b3"), 0);

    EXPECT_EQ(get("root.Badge.B3.Label"), "<error -2>");
    EXPECT_EQ(child_groups_of("root.Badge"), std::vector<std::string>{"root.Badge.B4=B4"});
    EXPECT_EQ(get("root.Badge.B4.Label"), "none") << "a neighbour keeps its parameters";
    EXPECT_EQ(create(3), "B3") << "the number is free again";
    EXPECT_EQ(get("root.Badge.B3.Label"), "none") << "with fresh defaults";
}

TEST_F(DynamicGroupTest, DeclaredGroupsCannotBeDeleted) {
    EXPECT_EQ(remove("root.Badge"), kelbrin::STATIC_GROUP);
    EXPECT_EQ(remove("root"), kelbrin::STATIC_GROUP);
    EXPECT_EQ(remove("root.Nothing"), kelbrin::UNKNOWN_GROUP);
    EXPECT_EQ(get("root.Badge.Model"), "BR");
}

} // namespace
