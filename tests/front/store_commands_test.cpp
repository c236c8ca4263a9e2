// sync, readgroupfile, set and deletegroup: messages, library calls, statuses.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

harness::Result runWith(std::vector<std::string> args, std::string script = "{}") {
    harness::Run request;
    request.args = std::move(args);
    request.script = std::move(script);
    return harness::run(request);
}

class SyncUnderNosync : public testing::TestWithParam<std::string> {};

TEST_P(SyncUnderNosync, failsWithoutCallingTheLibrary) {
    harness::Result result = runWith({GetParam(), "sync"});
    EXPECT_EQ(result.err, "Syncing parameters!\n"
                          "Error, tried to call sync using option --nosync!\n\n"
                          "Could not sync.\n");
    EXPECT_TRUE(harness::storeCalls(result).empty());
    EXPECT_EQ(result.status, 1);
    // Syslog gets the texts as formatted, without the added newline.
    std::vector<std::string> expected = {"openlog \"kelbrinclient\" 1 8",
                                         "3 Error, tried to call sync using option --nosync!\\n",
                                         "3 Could not sync."};
    if (GetParam() == "-nosync")
        expected.insert(expected.begin() + 1,
                        "6 Review your options since some of them are deprecated. Options start "
                        "with '--' and not with '-'!\\n");
    EXPECT_EQ(result.syslog, expected);
}

INSTANTIATE_TEST_SUITE_P(Options, SyncUnderNosync,
                         testing::Values("--nosync", "--nosync-nosig", "-s", "-n", "-nosync"));

TEST(Sync, callsTheLibraryUnderTheSignalModes) {
    for (const char *option : {"--sigonly", "--sync-nosig"}) {
        harness::Result result = runWith({"--nolog", option, "sync"});
        EXPECT_EQ(result.err, "Syncing parameters!\n");
        EXPECT_EQ(harness::storeCalls(result), std::vector<std::string>{"cli_sync()"});
        EXPECT_EQ(result.status, 0);
    }
}

TEST(Sync, libraryErrorEndsTheRun) {
    harness::Result result = runWith({"--nolog", "sync", "set", "root.A.x", "v"},
                                     R"({"fail": [{"call": "cli_sync", "error": -7}]})");
    EXPECT_EQ(result.err, "Syncing parameters!\nError -7 syncing to file!\n\nCould not sync.\n");
    EXPECT_EQ(harness::storeCalls(result), std::vector<std::string>{"cli_sync() ! -7"});
    EXPECT_EQ(result.status, 1);
}

TEST(ReadGroupFile, libraryErrorEndsTheRun) {
    harness::Result result =
        runWith({"readgroupfile", "dev ice.json", "set", "root.A.x", "v"},
                R"({"fail": [{"call": "cli_readGroupFile", "error": -12}]})");
    EXPECT_EQ(result.err, "Error -12 reading file 'dev ice.json' into kelbrin!\n"
                          "Failed to read groupfile 'dev ice.json'\n");
    EXPECT_EQ(result.syslog,
              (std::vector<std::string>{"openlog \"kelbrinclient\" 1 8",
                                        "3 Error -12 reading file 'dev ice.json' into kelbrin!",
                                        "3 Failed to read groupfile 'dev ice.json'"}));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(harness::storeCalls(result).size(), 1u);
}

TEST(Set, passesNameAndValueUnchangedAndReportsErrors) {
    harness::Result stored = runWith({"set", "root.A.x", "a b\\n%s 'q'"});
    EXPECT_EQ(harness::storeCalls(stored),
              std::vector<std::string>{"cli_setCustomParam(\"root.A.x\", \"a b\\\\n%s 'q'\")"});
    EXPECT_EQ(stored.status, 0);

    harness::Result refused =
        runWith({"--nolog", "set", "root.A.x", "100%", "set", "root.A.y", "2"},
                R"({"fail": [{"call": "cli_setCustomParam", "arg": "root.A.x", "error": -6}]})");
    EXPECT_EQ(refused.err,
              "Error -6 setting 'root.A.x' to '100%'!\nFailed to set parameter root.A.x.\n");
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(harness::storeCalls(refused).size(), 1u);
}

const char *twoGroups = R"({"params": [{"name": "root.B.z", "value": "0"}],
                           "children": {"root": [{"name": "root.B", "value": "B"}]}})";

TEST(DeleteGroup, failureIsReportedAndTheRunGoesOn) {
    harness::Result result =
        runWith({"deletegroup", "root.Missing", "deletegroup", "root.B"}, twoGroups);
    EXPECT_EQ(result.err, "Error deleteing group 'root.Missing'\n");
    EXPECT_EQ(harness::storeCalls(result),
              (std::vector<std::string>{"cli_deleteGroup(\"root.Missing\") ! -2",
                                        "cli_deleteGroup(\"root.B\")"}));
    EXPECT_EQ(result.status, 2);
}

TEST(ExitStatus, staysTwoAfterLaterSuccessAndBecomesOneOnLaterFatalError) {
    harness::Result laterSuccess =
        runWith({"deletegroup", "root.Missing", "set", "root.A.x", "v"}, twoGroups);
    EXPECT_EQ(laterSuccess.status, 2);

    harness::Result laterFatal =
        runWith({"deletegroup", "root.Missing", "set", "root.A.x", "v", "bogus"}, twoGroups);
    EXPECT_EQ(laterFatal.status, 1);
}

} // namespace
