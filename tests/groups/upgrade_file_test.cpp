// upgradedynparams on one file: which lines are marker lines, how a marker
// line names the group and its template, and the status of the file.
#include <gtest/gtest.h>

#include "dynamic_group_requests.h"

using groups_test::badgeStore;
using groups_test::groupRequests;
using groups_test::run_with_store;

namespace {

harness::Result upgrade_file(const std::string &content, const std::string &script = badgeStore) {
    harness::TempDir directory;
    std::string path = directory.file("groups.conf");
    harness::writeFile(path, content);
    return run_with_store({"--nolog", "upgradedynparams", path}, script);
}

struct MarkerCase {
    const char *title;
    std::string content;
    std::vector<std::string> requests;
};

class MarkerLine : public testing::TestWithParam<MarkerCase> {};

TEST_P(MarkerLine, NamesGroupNumberAndTemplate) {
    harness::Result result = upgrade_file(GetParam().content);
    EXPECT_EQ(groupRequests(result), GetParam().requests) << result.err;
}

const std::string marker = "#DO NOT REMOVE THIS LINE: ";

INSTANTIATE_TEST_SUITE_P(
    Lines, MarkerLine,
    testing::Values(
        MarkerCase{
            "PrefixAndNumber", marker + "root.Badge.B3 badge\n", {R"(("root.Badge", "badge") #3)"}},
        MarkerCase{"TwoDigitNumber",
                   marker + "root.Badge.B12 badge\n",
                   {R"(("root.Badge", "badge") #12)"}},
        MarkerCase{"PrefixAloneIsNumberZero",
                   marker + "root.Badge.B badge\n",
                   {R"(("root.Badge", "badge") #0)"}},
        MarkerCase{"TextBeforeTheMarkerCounts",
                   "keep this: " + marker + "root.Badge.B3 badge\n",
                   {R"(("root.Badge", "badge") #3)"}},
        MarkerCase{
            "TabAfterTheColonIsNoMarker", "#DO NOT REMOVE THIS LINE:\troot.Badge.B3 badge\n", {}},
        MarkerCase{"AnyCharacterSeparates",
                   marker + "root.Badge.B3-badge\n",
                   {R"(("root.Badge", "badge") #3)"}},
        MarkerCase{"BlanksAroundAreSkippedButTrailingOnesKept",
                   marker + " \t root.Badge.B3 \t my badge \n",
                   {R"(("root.Badge", "my badge ") #3)"}},
        MarkerCase{"TokenEndingTheLineGivesEmptyTemplate",
                   marker + "root.Badge.B3\n",
                   {R"(("root.Badge", "") #3)"}},
        MarkerCase{"TokenEndingTheFileGivesEmptyTemplate",
                   marker + "root.Badge.B3",
                   {R"(("root.Badge", "") #3)"}},
        MarkerCase{"LastLineWithoutNewline",
                   "x\n" + marker + "root.Badge.B4 badge",
                   {R"(("root.Badge", "badge") #4)"}},
        MarkerCase{"CarriageReturnStaysInTheTemplate",
                   marker + "root.Badge.B3 badge\r\n",
                   {R"(("root.Badge", "badge\r") #3)"}},
        MarkerCase{"LongLinesAreReadWhole",
                   std::string(300, 'x') + marker + "root.Badge.B5 " + std::string(100, 't') +
                       "\n" + marker + "root.Badge.B6 badge\n",
                   {"(\"root.Badge\", \"" + std::string(100, 't') + "\") #5",
                    R"(("root.Badge", "badge") #6)"}},
        MarkerCase{"OneGroupPerLineInOrder",
                   marker + "root.Badge.B9 badge\nplain line\n" + marker + "root.Other.X1 other\n",
                   {R"(("root.Badge", "badge") #9)", R"(("root.Other", "other") #1)"}}),
    [](const testing::TestParamInfo<MarkerCase> &info) { return info.param.title; });

TEST(MarkerLine, CreatedGroupsArePrintedOnePerLine) {
    harness::Result result =
        upgrade_file(marker + "root.Badge.B3 badge\n" + marker + "root.Badge.B4 badge\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "root.Badge.B3\nroot.Badge.B4\n");
}

TEST(MarkerLine, TokenWithoutGroupNumberIsReportedNotGuessed) {
    // No dot, or nothing after the last dot: no parent or no number to ask for.
    for (const char *token : {"Badge3", "root.Badge.", ""}) {
        SCOPED_TRACE(token);
        harness::TempDir directory;
        std::string path = directory.file("bad.conf");
        // "-" separates, so that an empty token is not skipped over as blanks.
        harness::writeFile(path, marker + token + "-badge\n");
        harness::Result result = run_with_store({"--nolog", "upgradedynparams", path}, "{}");
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err,
                  "Invalid group '" + std::string(token) + "' in a marker line of " + path + "!\n");
        EXPECT_TRUE(groupRequests(result).empty());
    }
}

TEST(FileStatus, IsTheStatusOfTheLastMarkerLine) {
    std::string fails = marker + "root.Badge.B3 nosuchtemplate\n";
    std::string succeeds = marker + "root.Badge.B4 badge\n";
    harness::Result failThenSucceed = upgrade_file(fails + succeeds);
    EXPECT_EQ(failThenSucceed.status, 0);
    EXPECT_EQ(failThenSucceed.out, "root.Badge.B4\n");
    EXPECT_EQ(failThenSucceed.err, "Error creating group under 'root.Badge'!\n");

    harness::Result succeedThenFail = upgrade_file(succeeds + fails);
    EXPECT_EQ(succeedThenFail.status, 2);
    EXPECT_EQ(succeedThenFail.out, "root.Badge.B4\n");
}

TEST(FileStatus, FileWithoutMarkersSucceedsWithoutStoreCalls) {
    harness::Result result = upgrade_file("# DO NOT REMOVE THIS LINE: root.Badge.B3 badge\n\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(groupRequests(result).empty());
}

TEST(FileStatus, MissingPathIsReportedAndTheRunGoesOn) {
    harness::Result result = run_with_store(
        {"--nolog", "upgradedynparams", "/nonexistent/groups", "addgroup", "root.Badge", "badge"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "handle_upgrade_dynamicfile: Failed to opendir(/nonexistent/groups): No "
                          "such file or directory\n");
    EXPECT_EQ(result.out, "root.Badge.B3\n");
}

TEST(FileStatus, LimitReachedInAFileGoesOnWithTheNextLine) {
    harness::Result result =
        upgrade_file(marker + "root.Badge.F3 full\n" + marker + "root.Badge.B5 badge\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "Error creating group under 'root.Badge'! (limited number allowed)\n");
    EXPECT_EQ(result.out, "root.Badge.B5\n");
}

} // namespace
