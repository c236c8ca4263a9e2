// Listing order where it is hardest to keep: positions and group numbers
// past what one byte of a key holds, groups of one number made from two
// templates, and files that add to a group that has dynamic groups already.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <kelbrin.h>

namespace {

using Names = std::vector<std::string>;

const char *templates = R"({ "groups": [ { "group": "root.D" } ], "templates": [
  { "template": "b", "parent": "root.D", "prefix": "B", "items": [ { "parameter": "V" } ] },
  { "template": "c", "parent": "root.D", "prefix": "C", "items": [ { "parameter": "V" } ] } ] })";

class Layout : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelbrin-layout-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        setenv("KELBRIN_STORE", (directory + "/store.db").c_str(), 1);
        cli_resetOptions(&options);
        load(templates);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    void load(const std::string &json) {
        std::ofstream(directory + "/file.json") << json;
        int32_t err = 99;
        cli_readGroupFile((directory + "/file.json").c_str(), &options, &err);
        ASSERT_EQ(err, 0) << json;
    }

    // The new group's name under root.D, or the error code.
    std::string add(const char *from, int32_t number = -1) {
        options.groupNumber = number;
        int32_t err = 99;
        char *made = cli_createDynamicGroup("root.D", from, &options, &err);
        std::string name = made ? made : std::to_string(err);
        std::free(made);
        return name;
    }

    // Full names of the parameters under the group, or its child groups.
    Names walk(const char *group, bool childGroups = false) {
        int32_t err = 99;
        GroupContext *walk = childGroups ? cli_getChildGroupsInGroup(group, &options, &err)
                                         : cli_getParamsInGroup(group, &options, &err);
        Names names;
        while (err == 0 && walk) {
            childGroups ? cli_getChildGroupInGroup(walk, &options, &err)
                        : cli_getParamInGroup(walk, &options, &err);
            if (err != 0 || walk->end)
                break;
            names.push_back(childGroups ? walk->groupValue : walk->paramName);
        }
        cli_cleanupGroupContext(walk);
        return names;
    }

    std::string directory;
    ClientOptions options{};
};

TEST_F(Layout, PositionsAndNumbersPastOneByteKeepTheirOrder) {
    Names declared;
    std::string items;
    for (int i = 0; i < 300; ++i) {
        declared.push_back("root.G.P" + std::to_string(i));
        items += std::string(i ? ", " : "") + R"({ "parameter": "P)" + std::to_string(i) + R"(" })";
    }
    load(R"({ "groups": [ { "group": "root.G", "items": [ )" + items + " ] } ] }");
    load(R"({ "groups": [ { "group": "root.G", "items": [ { "parameter": "Last" } ] } ] })");
    declared.push_back("root.G.Last");
    EXPECT_EQ(walk("root.G"), declared) << "a file loaded again adds after the last";

    for (int number : {70000, 300, 208, 207, 5})
        ASSERT_EQ(add("b", number), "B" + std::to_string(number));
    EXPECT_EQ(walk("root.D", true), (Names{"B5", "B207", "B208", "B300", "B70000"}));
}

TEST_F(Layout, GroupsOfOneNumberComeAsMadeAndDeclaredItemsBeforeThem) {
    ASSERT_EQ(add("b"), "B0");
    ASSERT_EQ(add("c"), "C0");
    ASSERT_EQ(add("c"), "C1");
    int32_t err = 99;
    cli_deleteGroup("root.D.B0", &options, &err);
    ASSERT_EQ(err, 0);
    ASSERT_EQ(add("b"), "B0");
    load(R"({ "groups": [ { "group": "root.D", "items": [ { "parameter": "Count" },
                { "group": "Fixed", "items": [ { "parameter": "X" } ] } ] } ] })");

    EXPECT_EQ(walk("root.D", true), (Names{"Fixed", "C0", "B0", "C1"}));
    EXPECT_EQ(walk("root.D"), (Names{"root.D.Count", "root.D.Fixed.X", "root.D.C0.V", "root.D.B0.V",
                                     "root.D.C1.V"}));
}

TEST_F(Layout, AParameterHoldingAGroupsNameTakesItsNumber) {
    load(R"({ "groups": [ { "group": "root.D", "items": [ { "parameter": "b0" } ] } ] })");
    EXPECT_EQ(add("b", 0), "-4");
    EXPECT_EQ(add("b"), "B1");
}

} // namespace
