// upgradedynparams on one file: which lines are marker lines, how a marker
// line names the group and its template, and the status of the file.
#include "dynamic_group_requests.h"

namespace {

using namespace groups_test;

std::string badge(int number) { return request("root.Badge", "badge", number); }

TEST(MarkerLine, NamesGroupNumberAndTemplate) {
    const struct {
        const char *behaviour;
        std::string content;
        Lines requests;
    } cases[] = {
        {"prefix and number", marker + "root.Badge.B3 badge\n", {badge(3)}},
        {"two-digit number", marker + "root.Badge.B12 badge\n", {badge(12)}},
        {"the prefix alone is number 0", marker + "root.Badge.B badge\n", {badge(0)}},
        {"text before the marker counts", "keep this: " + marker + "root.Badge.B3 badge\n",
         {badge(3)}},
        {"a tab after the colon is no marker", "#DO NOT REMOVE THIS LINE:\troot.Badge.B3 badge\n",
         {}},
        {"any character separates", marker + "root.Badge.B3-badge\n", {badge(3)}},
        {"blanks around are skipped, trailing ones kept",
         marker + " \t root.Badge.B3 \t my badge \n", {request("root.Badge", "my badge ", 3)}},
        {"a token ending the line gives an empty template", marker + "root.Badge.B3\n",
         {request("root.Badge", "", 3)}},
        {"a token ending the file gives an empty template", marker + "root.Badge.B3",
         {request("root.Badge", "", 3)}},
        {"a last line without newline", "x\n" + marker + "root.Badge.B4 badge", {badge(4)}},
        {"a carriage return stays in the template", marker + "root.Badge.B3 badge\r\n",
         {request("root.Badge", "badge\\r", 3)}},
        {"long lines are read whole",
         std::string(300, 'x') + marker + "root.Badge.B5 " + std::string(100, 't') + "\n" + marker +
             "root.Badge.B6 badge\n",
         {request("root.Badge", std::string(100, 't'), 5), badge(6)}},
        {"one group per line, in order",
         marker + "root.Badge.B9 badge\nplain line\n" + marker + "root.Other.X1 other\n",
         {badge(9), request("root.Other", "other", 1)}},
    };
    harness::TempDir directory;
    for (const auto &c : cases) {
        harness::writeFile(directory.file("groups.conf"), c.content);
        harness::Result result =
            program_run::run({"--nolog", "upgradedynparams", directory.file("groups.conf")},
                             badgeStore);
        EXPECT_EQ(groupRequests(result), c.requests) << c.behaviour;
    }
}

TEST(FileStatus, IsTheStatusOfTheLastMarkerLine) {
    harness::TempDir directory;
    int files = 0;
    // The words that upgrade a new file of this content.
    auto upgrade = [&](const std::string &content) {
        std::string path = directory.file(std::to_string(files++) + ".conf");
        harness::writeFile(path, content);
        return Lines{"--nolog", "upgradedynparams", path};
    };
    const std::string fails = marker + "root.Badge.B3 nosuchtemplate\n";
    const std::string succeeds = marker + "root.Badge.B4 badge\n";
    const std::string failed = "Error creating group under 'root.Badge'!\n";
    const Lines none;
    std::vector<Case> cases = {
        {{"each marker line creates its group",
          upgrade(succeeds + marker + "root.Badge.B5 badge\n"),
          "root.Badge.B4\nroot.Badge.B5\n", "", 0, std::nullopt, none, badgeStore},
         {badge(4), badge(5)}},
        {{"a failure before a success", upgrade(fails + succeeds), "root.Badge.B4\n", failed, 0,
          std::nullopt, none, badgeStore},
         {request("root.Badge", "nosuchtemplate", 3), badge(4)}},
        {{"a failure last", upgrade(succeeds + fails), "root.Badge.B4\n", failed, 2, std::nullopt,
          none, badgeStore},
         {badge(4), request("root.Badge", "nosuchtemplate", 3)}},
        {{"a file without marker lines",
          upgrade("# DO NOT REMOVE THIS LINE: root.Badge.B3 badge\n\n"), "", "", 0, std::nullopt,
          none, badgeStore},
         {}},
        {{"a limit reached goes on with the next line",
          upgrade(marker + "root.Badge.F3 full\n" + marker + "root.Badge.B5 badge\n"),
          "root.Badge.B5\n",
          "Error creating group under 'root.Badge'! (limited number allowed)\n", 0, std::nullopt,
          none, badgeStore},
         {request("root.Badge", "full", 3), badge(5)}},
        {{"a missing path is reported and the run goes on",
          {"--nolog", "upgradedynparams", "/nonexistent/groups", "addgroup", "root.Badge", "badge"},
          "root.Badge.B3\n",
          "handle_upgrade_dynamicfile: Failed to opendir(/nonexistent/groups): No such file or "
          "directory\n",
          2, std::nullopt, none, badgeStore},
         {badge(-1)}},
    };
    // No dot, or nothing after the last dot: no parent or no number to ask
    // for. "-" separates, so that an empty token is not skipped over as blanks.
    for (std::string token : {"Badge3", "root.Badge.", ""}) {
        Lines args = upgrade(marker + token + "-badge\n");
        cases.push_back({{"a token without a group number", args, "",
                          "Invalid group '" + token + "' in a marker line of " + args[2] + "!\n",
                          2, std::nullopt, none, "{}"},
                         {}});
    }
    for (const Case &c : cases)
        check(c);
}

} // namespace
