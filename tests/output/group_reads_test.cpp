// getgroup and getgrouplist through the test double: listings, section
// headers, complex values and every failure of the walk.
#include "program_test_support.h"

namespace output_tests {
namespace {

json zones_tree() {
    return json::parse(R"({"hash": [
        ["mode", {"custom": "auto"}],
        ["ports", {"list": [{"custom": "80"}, {"custom": "443"}]}],
        ["schedule", {"hash": [["start", {"custom": "08:00"}], ["count", {"integer": 3}]]}]]})");
}

const std::string zonesText = "Zones.mode \t =  [ \"auto\"  ] \n"
                              "Zones.ports \t =  ( [ \"80\"  ]  [ \"443\"  ]  )\n"
                              "Zones.schedule  {\n"
                              "\tstart \t\t =  [ \"08:00\"  ] \n"
                              "\tcount \t\t =  [ \"3\"  ] \n"
                              "} \n";

const std::string device = store({plain("root.Alpha.X", "1"), plain("root.Alpha.Y", "2"),
                                  complex("root.Alpha.Zones", zones_tree()),
                                  plain("root.Beta.Z", "3"), plain("root.Alpha.W", "4")},
                                 json::parse(R"({"children": {
                                     "root": [{"name": "root.Alpha", "value": "Alpha"},
                                              {"name": "root.Beta", "value": "Beta"}],
                                     "root.Alpha": [{"name": "root.Alpha.Item1", "value": "Item1"}],
                                     "root.Badge": [{"name": "root.Empty", "value": "Empty"}],
                                     "Top": [{"name": "Top.Sub", "value": "Sub"}]}})"));

TEST(GetGroup, WritesPlainParametersAsNameValueAndLeavesComplexOnesOut) {
    harness::Result result = run({"getgroup", "root.Alpha"}, device);
    EXPECT_EQ(result.out, "root.Alpha.X=\"1\"\nroot.Alpha.Y=\"2\"\nroot.Alpha.W=\"4\"\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(harness::storeCalls(result),
              (Lines{"cli_getParamsInGroup(\"root.Alpha\") = #1",
                     "cli_getParamInGroup(#1)", "cli_getCustomParam(\"root.Alpha.X\") = \"1\"",
                     "cli_getParamInGroup(#1)", "cli_getCustomParam(\"root.Alpha.Y\") = \"2\"",
                     "cli_getParamInGroup(#1)",
                     "cli_getCustomParam(\"root.Alpha.Zones\") ! -20 = NULL",
                     "cli_getComplexParam(\"root.Alpha.Zones\") = #2",
                     "cli_getParamInGroup(#1)", "cli_getCustomParam(\"root.Alpha.W\") = \"4\"",
                     "cli_getParamInGroup(#1)", "cli_cleanupGroupContext(#1)"}));
}

TEST(GetGroup, SectionsListingHeadsEveryChangeOfSectionAndRendersComplexValues) {
    harness::Result result = run({"getgroup", "root", "-", "NAMEVALUESECTIONS"}, device);
    EXPECT_EQ(result.out, banner + "\n\n[Alpha]\n"
                                   "X                        = \"1\"\n"
                                   "Y                        = \"2\"\n" +
                              zonesText + "\n"
                                          "\n\n[Beta]\n"
                                          "Z                        = \"3\"\n"
                                          "\n\n[Alpha]\n"
                                          "W                        = \"4\"\n");
    EXPECT_EQ(result.status, 0);
}

TEST(GetGroup, PhpEndsWithTheTrailerAlsoAfterErrors) {
    harness::TempDir dir;
    harness::Result result =
        run({"getgroup", "root.Beta", dir.file("beta.php"), "PHP", "getgroup", "root.Nope",
             dir.file("nope.php"), "PHP", "getgroup", "root.Empty", dir.file("empty.php"), "php"},
            device);
    EXPECT_EQ(harness::readFile(dir.file("beta.php")), "<?php\n$root_Beta_Z = \"3\";\n?>\n");
    EXPECT_EQ(harness::readFile(dir.file("nope.php")), "<?php\n?>\n");
    EXPECT_EQ(harness::readFile(dir.file("empty.php")), "<?php\n?>\n");
    expect_messages(result, {{3, "//Error -2 getting group 'root.Nope'!"},
                             {4, "//No parameters for group 'root.Empty'!"}});
    EXPECT_EQ(result.status, 2);
}

struct WalkFailure {
    const char *behaviour;
    Lines args;
    json fail; // the double's fail entry, null for none
    std::string out;
    std::vector<Message> messages;
    int status;
    std::string context; // the group context released, once and last
};

TEST(GroupReads, FailuresOfTheWalkReleaseTheContextOnce) {
    const std::vector<WalkFailure> cases = {
        {"first parameter not obtainable", {"getgroup", "root.Alpha"},
         {{"call", "cli_getParamInGroup"}, {"nth", 1}, {"error", -5}}, "",
         {{3, "#Error -5 getting param in group 'root.Alpha'!"}}, 2, "#1"},
        {"advancing fails later: the list just ends", {"getgroup", "root.Alpha"},
         {{"call", "cli_getParamInGroup"}, {"nth", 3}, {"error", -5}},
         "root.Alpha.X=\"1\"\nroot.Alpha.Y=\"2\"\n", {}, 0, "#1"},
        {"complex parameter not readable: the walk goes on", {"getgroup", "root.Alpha"},
         {{"call", "cli_getComplexParam"}, {"error", -7}},
         "root.Alpha.X=\"1\"\nroot.Alpha.Y=\"2\"\nroot.Alpha.W=\"4\"\n",
         {{3, "#Error -7 getting parameter 'root.Alpha.Zones'"}}, 2, "#1"},
        // The context of a failed listing call is null, and released all the same.
        {"unknown group", {"getgrouplist", "root.Nope"}, nullptr, "",
         {{3, "#Error -2 listing groups for group 'root.Nope'!"}}, 2, "NULL"},
        {"first child not obtainable", {"getgrouplist", "root"},
         {{"call", "cli_getChildGroupInGroup"}, {"nth", 1}, {"error", -6}}, "",
         {{3, "#Error -6 getting group for group 'root'!"}}, 2, "#1"},
        {"advancing fails later", {"getgrouplist", "root"},
         {{"call", "cli_getChildGroupInGroup"}, {"nth", 2}, {"error", -6}}, "\"Alpha\"\n", {}, 0,
         "#1"},
    };
    for (const WalkFailure &c : cases) {
        SCOPED_TRACE(c.behaviour);
        json script = json::parse(device);
        if (!c.fail.is_null())
            script["fail"] = json::array({c.fail});
        harness::Result result = run(c.args, script.dump());
        EXPECT_EQ(result.out, c.out);
        expect_messages(result, c.messages);
        EXPECT_EQ(result.status, c.status);
        Lines calls = harness::storeCalls(result);
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back(), "cli_cleanupGroupContext(" + c.context + ")");
        EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                                [](const std::string &call) {
                                    return call.starts_with("cli_cleanupGroupContext");
                                }),
                  1);
    }
}

TEST(GroupReads, FatalFailuresEndTheRun) {
    harness::TempDir dir;
    const std::string oneDot = store({plain("root.Foo", "1")});
    struct Case {
        Lines args;
        std::string script;
        std::string out;
        std::vector<Message> messages;
    };
    const std::vector<Case> cases = {
        {{"getgroup", "root.Alpha", dir.file("group"), "XML", "sync"}, device, "",
         {{3, "Unsupported type: XML"}, {3, "Failed to get group root.Alpha."}}},
        // Three words after getgroup are always group, file and type.
        {{"getgroup", "root.Alpha", dir.file("group"), "get", "root.Alpha.X"}, device, "",
         {{3, "Unsupported type: get"}, {3, "Failed to get group root.Alpha."}}},
        {{"getgroup", "root", "-", "NAMEVALUESECTIONS"}, oneDot, banner,
         {{3, "Internal error: '.'-delimited format expected."}, {3, "Failed to get group root."}}},
        {{"getgrouplist", "root", dir.file("list"), "XML", "sync"}, device, "",
         {{3, "Unsupported type: XML"}, {3, "Failed to list groups under 'root'"}}},
        {{"getgrouplist", "Top", "-", "NAMEVALUESECTIONS"}, device, banner,
         {{3, "Internal error: '.'-delimited format expected."},
          {3, "Failed to list groups under 'Top'"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        harness::Result result = run(c.args, c.script);
        EXPECT_EQ(result.out, c.out);
        expect_messages(result, c.messages);
        EXPECT_EQ(result.status, 1);
    }
    // getgrouplist opens its file before it checks the type; getgroup does not.
    EXPECT_EQ(harness::shell("ls -A " + dir.path()), "list\n");
    EXPECT_EQ(harness::readFile(dir.file("list")), "");
}

TEST(GetGroupList, WritesChildGroupsInEveryType) {
    struct Case {
        Lines args;
        std::string out;
    };
    const std::vector<Case> cases = {
        {{"getgrouplist", "root"}, "\"Alpha\"\n\"Beta\"\n"},
        {{"getgrouplist", "root", "-", "NAMEVALUESECTIONS"},
         banner + "\n\n[root]\nroot                     = \"Alpha\"\nroot                     = \"Beta\"\n"},
        {{"getgrouplist", "root.Alpha", "-", "NAMEVALUESECTIONS"},
         banner + "\n\n[Alpha]\nroot.Alpha               = \"Item1\"\n"},
        {{"getgrouplist", "root.Alpha", "-", "SCRIPT"}, "root_Alpha='Item1'\n"},
        {{"getgrouplist", "root.Alpha", "-", "FORM"},
         "<input type='hidden' name='conf_Alpha' value='Item1'>\n"},
        {{"getgrouplist", "root.Alpha", "-", "PHP"}, "<?php\n$root_Alpha = \"Item1\";\n?>\n"},
        {{"getgrouplist", "Top", "-", "NAMEVALUE"}, "Top=\"Sub\"\n"},
    };
    for (const Case &c : cases) {
        harness::Result result = run(c.args, device);
        EXPECT_EQ(result.out, c.out) << c.args.back();
        EXPECT_EQ(result.status, 0) << c.args.back();
    }
}

TEST(GetGroupList, ShowAccessQueriesTheShortenedName) {
    harness::Result result =
        run({"--showaccess", "getgrouplist", "root.Alpha", "-", "NAMEVALUE"}, device);
    EXPECT_EQ(result.out, "root.Alpha=\"Item1\" accessControl=\"\"\n");
    EXPECT_EQ(harness::storeCalls(result),
              (Lines{
                  "cli_getChildGroupsInGroup(\"root.Alpha\") = #1", "cli_getChildGroupInGroup(#1)",
                  "cli_getParamOption(\"root.Alpha\", \"accessControl\") ! -2 = NULL",
                  "cli_getChildGroupInGroup(#1)", "cli_cleanupGroupContext(#1)"}));
}

} // namespace
} // namespace output_tests
