// The test double serves its script and logs each call as documented.
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <kelbrin.h>
#include <sstream>

#include "harness.h"

namespace {

using Lines = std::vector<std::string>;

const std::string programOptions =
    " {port=0 syncMode=10 groupNumber=0 caseSensitive=0 securityLevel=0 noMapped=0}";

// Calls the double in this process, as the program would.
class DoubleTest : public ::testing::Test {
  protected:
    void useScript(const std::string &script) {
        harness::writeFile(directory.file("script.json"), script);
        setenv("KELBRIN_DOUBLE_SCRIPT", directory.file("script.json").c_str(), 1);
        setenv("KELBRIN_DOUBLE_LOG", directory.file("calls.log").c_str(), 1);
        cli_resetOptions(&options);
        options.syncMode = SYNC_DEFAULT;
        options.caseSensitive = 0;
    }

    // The log after the reset, each line as written.
    Lines log() const {
        Lines lines;
        std::istringstream stream(harness::readFile(directory.file("calls.log")));
        for (std::string line; std::getline(stream, line);)
            if (line != "cli_resetOptions()")
                lines.push_back(line);
        return lines;
    }

    // Frees a whole tree, as a caller that owns all of it would.
    static void free_tree(DataNode *node) {
        if (node == nullptr)
            return;
        if (node->kind == DATA_SCALAR && node->u.scalar.subtype >= SCALAR_STRING)
            std::free(node->u.scalar.value.string);
        for (ListCell *cell = node->kind == DATA_LIST ? node->u.list.firstCell : nullptr; cell;) {
            ListCell *next = cell->next;
            free_tree(cell->value);
            std::free(cell);
            cell = next;
        }
        for (HashEntry *entry = node->kind == DATA_HASH ? node->u.hash.firstEntry : nullptr;
             entry;) {
            HashEntry *next = entry->next;
            free_tree(entry->value);
            std::free(entry->key);
            std::free(entry);
            entry = next;
        }
        std::free(node);
    }

    std::string taken(char *text) {
        std::string result = text == nullptr ? "(null)" : text;
        std::free(text);
        return result;
    }

    harness::TempDir directory;
    ClientOptions options{};
    int32_t error = 0;
};

TEST_F(DoubleTest, ServesParametersAndFailsAsScripted) {
    useScript(R"({
      "params": [
        {"name": "root.Alpha.X", "value": "1"},
        {"name": "root.Alpha.Y", "value": "2", "accessControl": "rw"},
        {"name": "root.Alpha.Zones", "tree": {"hash": [["mode", {"custom": "auto"}]]}},
        {"name": "root.Beta", "value": "b"}
      ],
      "fail": [
        {"call": "cli_getCustomParam", "arg": "root.Alpha.Y", "error": -3},
        {"call": "cli_getParamInGroup", "nth": 2, "error": -5},
        {"call": "cli_getCustomParam", "arg": "root.Beta", "error": -6, "value": "kept"}
      ]})");
    struct Case {
        const char *name;
        std::string value;
        int32_t error;
    };
    for (const Case &c : {Case{"root.Alpha.X", "1", 0}, Case{"root.Alpha.Y", "(null)", -3},
                          Case{"root.Alpha.Zones", "(null)", -20},
                          Case{"root.alpha.x", "(null)", -2}, Case{"root.Beta", "kept", -6}}) {
        EXPECT_EQ(taken(cli_getCustomParam(c.name, &options, &error)), c.value) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
    }
    EXPECT_EQ(taken(cli_getParamOption("root.Alpha.Y", "accessControl", &options, &error)), "rw");

    GroupContext *walk = cli_getParamsInGroup("root.Alpha", &options, &error);
    ASSERT_NE(walk, nullptr);
    Lines seen;
    while (true) {
        cli_getParamInGroup(walk, &options, &error);
        if (walk->end)
            break;
        seen.push_back(error == 0 ? walk->paramName : std::to_string(error));
    }
    cli_cleanupGroupContext(walk);
    EXPECT_EQ(seen, (Lines{"root.Alpha.X", "-5", "root.Alpha.Y", "root.Alpha.Zones"}));
    EXPECT_EQ(cli_getParamsInGroup("root.Gamma", &options, &error), nullptr);
    EXPECT_EQ(error, -2);

    const std::string &o = programOptions;
    EXPECT_EQ(log(), (Lines{
                         "cli_getCustomParam(\"root.Alpha.X\") = \"1\"" + o,
                         "cli_getCustomParam(\"root.Alpha.Y\") ! -3 = NULL" + o,
                         "cli_getCustomParam(\"root.Alpha.Zones\") ! -20 = NULL" + o,
                         "cli_getCustomParam(\"root.alpha.x\") ! -2 = NULL" + o,
                         "cli_getCustomParam(\"root.Beta\") ! -6 = \"kept\"" + o,
                         "cli_getParamOption(\"root.Alpha.Y\", \"accessControl\") = \"rw\"" + o,
                         "cli_getParamsInGroup(\"root.Alpha\") = #1" + o,
                         "cli_getParamInGroup(#1)" + o,
                         "cli_getParamInGroup(#1) ! -5" + o,
                         "cli_getParamInGroup(#1)" + o,
                         "cli_getParamInGroup(#1)" + o,
                         "cli_getParamInGroup(#1)" + o,
                         "cli_cleanupGroupContext(#1)",
                         "cli_getParamsInGroup(\"root.Gamma\") ! -2 = NULL" + o,
                     }));
}

TEST_F(DoubleTest, TreeRoundTripsThroughGetAndSetComplexParam) {
    const std::string tree =
        R"({"hash":[["mode",{"custom":"auto"}],[null,{"list":[{"integer":5},{"string":"a\"b"},)"
        R"({"empty":null},{"scalar":7},{"kind":9},{"none":null},null]}]]})";
    useScript(R"({"params": [{"name": "root.Zones", "tree": )" + tree +
              R"(}, {"name": "root.Plain", "value": "p"}]})");
    DataNode *root = cli_getComplexParam("root.Zones", &options, &error);
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->kind, DATA_HASH);
    HashEntry *mode = root->u.hash.firstEntry;
    ASSERT_NE(mode, nullptr);
    EXPECT_STREQ(mode->key, "mode");
    ASSERT_EQ(mode->value->kind, DATA_SCALAR);
    EXPECT_EQ(mode->value->u.scalar.subtype, SCALAR_CUSTOM);
    EXPECT_STREQ(mode->value->u.scalar.value.string, "auto");
    ASSERT_NE(mode->next, nullptr);
    EXPECT_EQ(mode->next->key, nullptr);
    EXPECT_EQ(mode->next->value->kind, DATA_LIST);

    cli_setComplexParam("root.Copy", root, &options, &error);
    EXPECT_EQ(error, 0);
    free_tree(root);
    free_tree(cli_getComplexParam("root.Copy", &options, &error));
    EXPECT_EQ(cli_getComplexParam("root.Plain", &options, &error), nullptr);
    EXPECT_EQ(error, -21);

    // Nine nodes in the first tree (#1 to #9), so the copy starts at #10.
    const std::string &o = programOptions;
    EXPECT_EQ(log(), (Lines{"cli_getComplexParam(\"root.Zones\") = #1" + o,
                            "cli_setComplexParam(\"root.Copy\", " + tree + ")" + o,
                            "cli_getComplexParam(\"root.Copy\") = #10" + o,
                            "cli_getComplexParam(\"root.Plain\") ! -21 = NULL" + o}));
}

TEST_F(DoubleTest, BuildsTreesInInsertionOrderAndReplacesInPlace) {
    useScript(R"({"fail": [{"call": "drep_deleteHashValue", "arg": "gone", "result": -1}]})");
    DataNode *hash = drep_createData();
    drep_initializeHash(hash);
    DataNode *mode = drep_getNextToInHash(hash, nullptr, nullptr);
    drep_initializeScalar(mode, SCALAR_CUSTOM, "string");
    drep_assignStringToCustom(mode, "auto", 0);
    drep_setHashValue(hash, mode, "mode");
    DataNode *list = drep_createData();
    drep_initializeList(list);
    drep_addToList(list, mode);
    drep_addToList(list, nullptr);
    drep_setHashValue(hash, list, "zones");
    DataNode *manual = drep_createData();
    drep_initializeScalar(manual, SCALAR_STRING, "string");
    drep_assignStringToCustom(manual, "manual", 0);
    drep_setHashValue(hash, manual, "mode");
    EXPECT_EQ(drep_getHashValue(hash, "mode"), manual);
    EXPECT_EQ(drep_deleteHashValue(hash, "gone"), -1);
    EXPECT_EQ(drep_deleteHashValue(hash, "absent"), 0);
    drep_deleteListItem(list, drep_getFirstOfList(list));
    char flag = 1;
    EXPECT_STREQ(drep_getStringFromCustom(manual, &flag), "manual");
    cli_setComplexParam("t", hash, &options, &error);
    free_tree(hash);
    free_tree(mode); // no longer in the tree: replaced in the hash, deleted from the list

    Lines lines = log();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(
        lines.back(),
        R"(cli_setComplexParam("t", {"hash":[["mode",{"string":"manual"}],["zones",{"list":[null]}]]}))" +
            programOptions);
    lines.pop_back();
    EXPECT_EQ(lines, (Lines{
                         "drep_createData() = #1",
                         "drep_initializeHash(#1)",
                         "drep_getNextToInHash(#1, NULL, NULL) = #2",
                         "drep_initializeScalar(#2, 3, \"string\")",
                         "drep_assignStringToCustom(#2, \"auto\", 0)",
                         "drep_setHashValue(#1, #2, \"mode\")",
                         "drep_createData() = #3",
                         "drep_initializeList(#3)",
                         "drep_addToList(#3, #2)",
                         "drep_addToList(#3, NULL)",
                         "drep_setHashValue(#1, #3, \"zones\")",
                         "drep_createData() = #4",
                         "drep_initializeScalar(#4, 2, \"string\")",
                         "drep_assignStringToCustom(#4, \"manual\", 0)",
                         "drep_setHashValue(#1, #4, \"mode\")",
                         "drep_getHashValue(#1, \"mode\") = #4",
                         "drep_deleteHashValue(#1, \"gone\") ! -1 = -1",
                         "drep_deleteHashValue(#1, \"absent\") = 0",
                         "drep_getFirstOfList(#3) = cell",
                         "drep_deleteListItem(#3, cell)",
                         "drep_getStringFromCustom(#4)",
                     }));
}

TEST_F(DoubleTest, DynamicGroupsTakeNumbersFromTheirTemplate) {
    useScript(R"({"templates": [
        {"parent": "root.Badge", "name": "badge", "prefix": "B", "max": 4, "taken": [1, 2]}]})");
    struct Case {
        const char *templateName;
        int32_t number;
        std::string shortName;
        int32_t error;
    };
    for (const Case &c : {Case{"badge", -1, "B3", 0}, Case{"badge", 2, "(null)", -4},
                          Case{"other", -1, "(null)", -3}, Case{"badge", 7, "B7", 0},
                          Case{"badge", -1, "(null)", -8}}) {
        options.groupNumber = c.number;
        EXPECT_EQ(taken(cli_createDynamicGroup("root.Badge", c.templateName, &options, &error)),
                  c.shortName)
            << c.templateName << " " << c.number;
        EXPECT_EQ(error, c.error) << c.templateName << " " << c.number;
    }
    options.groupNumber = 0;
    GroupContext *walk = cli_getChildGroupsInGroup("root.Badge", &options, &error);
    ASSERT_NE(walk, nullptr);
    Lines children;
    for (cli_getChildGroupInGroup(walk, &options, &error); !walk->end;
         cli_getChildGroupInGroup(walk, &options, &error))
        children.push_back(std::string(walk->groupName) + "=" + walk->groupValue);
    cli_cleanupGroupContext(walk);
    EXPECT_EQ(children, (Lines{"root.Badge.B3=B3", "root.Badge.B7=B7"}));
    EXPECT_EQ(log().front(),
              "cli_createDynamicGroup(\"root.Badge\", \"badge\") = \"B3\" {port=0 syncMode=10 "
              "groupNumber=-1 caseSensitive=0 securityLevel=0 noMapped=0}");
}

TEST_F(DoubleTest, ChangedLibraryWordsAreReportedAsCorrupted) {
    useScript("{}");
    cli_sync(&options, &error);
    options.libraryWords10to11[1] = 0;
    cli_sync(&options, &error);
    EXPECT_EQ(log(),
              (Lines{"cli_sync()" + programOptions, "cli_sync()" + programOptions + " CORRUPTED"}));
}

TEST_F(DoubleTest, ABrokenScriptFailsEveryCall) {
    useScript("{\"params\": [");
    EXPECT_EQ(cli_sync(&options, &error), -99);
    EXPECT_EQ(error, -99);
    cli_setCustomParam("a", "b", &options, &error);
    Lines lines = log();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(lines[0].starts_with("SCRIPT ERROR ")) << lines[0];
    EXPECT_EQ(lines[1], "cli_resetOptions() ! -99");
    EXPECT_EQ(lines[2], "cli_sync() ! -99" + programOptions);
    EXPECT_EQ(lines[3], "cli_setCustomParam(\"a\", \"b\") ! -99" + programOptions);
}

TEST_F(DoubleTest, TextsAreLoggedWithCEscapes) {
    useScript("{}");
    cli_setCustomParam("a\"\\\n\r\t\x01\x7f\xff", nullptr, &options, &error);
    EXPECT_EQ(log(), (Lines{R"(cli_setCustomParam("a\"\\\n\r\t\x01\x7f\xff", NULL) ! -1)" +
                            programOptions}));
}

TEST_F(DoubleTest, WrittenValuesAreReadBackAndDeletedWithTheirGroup) {
    useScript(R"({"params": [{"name": "root.A.X", "value": "1"}],
                  "children": {"root": [{"name": "root.A", "value": "A"}]}})");
    cli_setCustomParam("root.A.X", "2", &options, &error);
    cli_setCustomParam("root.A.New", "3", &options, &error);
    char buffer[4] = {'?', '?', '?', '?'};
    cli_getCustomParamToBuf("root.A.New", &options, &error, buffer, 1);
    EXPECT_EQ(std::string(buffer, 4), "3???");
    EXPECT_EQ(taken(cli_getCustomParam("root.A.X", &options, &error)), "2");
    cli_deleteGroup("root.A", &options, &error);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(cli_getCustomParam("root.A.New", &options, &error), nullptr);
    EXPECT_EQ(error, -2);
    GroupContext *walk = cli_getChildGroupsInGroup("root", &options, &error);
    ASSERT_NE(walk, nullptr);
    cli_getChildGroupInGroup(walk, &options, &error);
    EXPECT_EQ(walk->end, 1);
    cli_cleanupGroupContext(walk);
    cli_deleteGroup("root.A", &options, &error);
    EXPECT_EQ(error, -2);
}

} // namespace
