// What reaches the store library and syslog for each option and legacy word.
#include "front/program_run.h"

namespace {

using program_run::Lines;
using program_run::openlogLine;

const std::string notice = "6 Review your options since some of them are deprecated. Options "
                           "start with '--' and not with '-'!\\n";

struct Options {
    int port = 0, syncMode = 10, caseSensitive = 0, securityLevel = 0, noMapped = 0;
    std::string text() const {
        return " {port=" + std::to_string(port) + " syncMode=" + std::to_string(syncMode) +
               " groupNumber=0 caseSensitive=" + std::to_string(caseSensitive) +
               " securityLevel=" + std::to_string(securityLevel) +
               " noMapped=" + std::to_string(noMapped) + "}";
    }
};

struct OptionCase {
    Lines words;
    Options options;
    bool notice; // the deprecation notice goes to syslog, once
};

TEST(Options, ReachTheLibraryWithTheSetAndLegacyWordsLogANotice) {
    // A value as strtol reads it (whose range is that of long on the
    // target), cut to 32 bits without a check.
    const int bigPort = sizeof(long) == 8 ? 1 : 2147483647;
    const OptionCase cases[] = {
        {{}, {}, false},
        {{"--nosync"}, {.syncMode = 9}, false},
        {{"-s"}, {.syncMode = 9}, false},
        {{"--nosync-nosig"}, {.syncMode = 9}, false},
        {{"-n"}, {.syncMode = 9}, false},
        {{"-nosync"}, {.syncMode = 9}, true},
        {{"--sigonly"}, {.syncMode = 11}, false},
        {{"-o"}, {.syncMode = 11}, false},
        {{"-sigonly"}, {.syncMode = 11}, true},
        {{"--sync-nosig"}, {.syncMode = 12}, false},
        {{"-S"}, {.syncMode = 12}, false},
        {{"--casesensitive"}, {.caseSensitive = 1}, false},
        {{"-C"}, {.caseSensitive = 1}, false},
        {{"-casesensitive"}, {.caseSensitive = 1}, true},
        {{"--nolog", "-casesensitive"}, {.caseSensitive = 1}, true}, // not through diagnostics
        {{"--no-mapped"}, {.noMapped = 1}, false},
        {{"--port", "80"}, {.port = 80}, false},
        {{"--port=80"}, {.port = 80}, false},
        {{"--po", "81"}, {.port = 81}, false},
        {{"-p", "82"}, {.port = 82}, false},
        {{"-p83"}, {.port = 83}, false},
        {{"-port", "84"}, {.port = 84}, true},
        {{"--security", " 12abc"}, {.securityLevel = 12}, false},
        {{"-L", "-5"}, {.securityLevel = -5}, false},
        {{"-security", "x"}, {}, true},
        {{"--security", "+7"}, {.securityLevel = 7}, false},
        {{"--port", "4294967297"}, {.port = bigPort}, false},
        // Legacy words act before every option, wherever they stand.
        {{"-nosync", "--sync-nosig"}, {.syncMode = 12}, true},
        {{"--sync-nosig", "-nosync"}, {.syncMode = 12}, true},
        {{"--port", "1", "-port", "2"}, {.port = 1}, true},
        {{"-port", "80", "-nosync"}, {.port = 80, .syncMode = 9}, true},
        // The marker typed by the user counts as well.
        {{"-z", "-z"}, {}, true},
        // A later option wins over an earlier one.
        {{"--sigonly", "--nosync"}, {.syncMode = 9}, false},
        {{"-L", "3", "--security=4"}, {.securityLevel = 4}, false},
        {{"--nosync", "-C"}, {.syncMode = 9, .caseSensitive = 1}, false},
    };
    for (const OptionCase &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.words));
        Lines args = c.words;
        args.insert(args.end(), {"set", "root.A.x", "v"});
        harness::Result result = program_run::run(args);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, "");
        ASSERT_FALSE(result.callsWithOptions.empty());
        EXPECT_EQ(result.callsWithOptions.back(),
                  "cli_setCustomParam(\"root.A.x\", \"v\")" + c.options.text());
        EXPECT_EQ(result.syslog, (c.notice ? Lines{openlogLine, notice} : Lines{openlogLine}));
    }
}

TEST(Options, LegacyWordsActAmongCommandWordsWithoutNotice) {
    // The value "-nosync" is rewritten by the pre-scan, but option parsing
    // has stopped at "set" and never meets the marker.
    harness::Result result = program_run::run({"set", "root.A.x", "-nosync"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.syslog, Lines{openlogLine});
    EXPECT_EQ(result.callsWithOptions.back(),
              "cli_setCustomParam(\"root.A.x\", \"-z\")" + Options{.syncMode = 9}.text());
    EXPECT_EQ(harness::storeCalls(result).size(), 1u);
}

TEST(Syslog, usesArgumentZeroAsIdentWithPidAndUserFacility) {
    harness::Run request;
    request.argv0 = "/usr/bin/kelbrinclient";
    request.args = {"set", "root.A.x", "v"};
    harness::Result result = harness::run(request);
    ASSERT_FALSE(result.syslog.empty());
    EXPECT_EQ(result.syslog[0], "openlog \"/usr/bin/kelbrinclient\" 1 8");
}

} // namespace
