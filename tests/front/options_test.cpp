// What reaches the store library for each option and legacy word.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

struct OptionCase {
    std::vector<std::string> options;
    std::string expectedOptions;
};

std::string optionsSuffix(int port, int syncMode, int caseSensitive, int securityLevel,
                          int noMapped) {
    return " {port=" + std::to_string(port) + " syncMode=" + std::to_string(syncMode) +
           " groupNumber=0 caseSensitive=" + std::to_string(caseSensitive) +
           " securityLevel=" + std::to_string(securityLevel) +
           " noMapped=" + std::to_string(noMapped) + "}";
}

class OptionValues : public testing::TestWithParam<OptionCase> {};

TEST_P(OptionValues, reachTheLibraryWithTheSet) {
    harness::Run request;
    request.args = GetParam().options;
    request.args.insert(request.args.end(), {"set", "root.A.x", "v"});
    harness::Result result = harness::run(request);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    std::vector<std::string> expected = {"cli_setCustomParam(\"root.A.x\", \"v\")" +
                                         GetParam().expectedOptions};
    std::vector<std::string> seen;
    for (const std::string &line : result.callsWithOptions)
        if (line.rfind("cli_setCustomParam", 0) == 0)
            seen.push_back(line);
    EXPECT_EQ(seen, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, OptionValues,
    testing::Values(
        OptionCase{{}, optionsSuffix(0, 10, 0, 0, 0)},
        OptionCase{{"--nosync"}, optionsSuffix(0, 9, 0, 0, 0)},
        OptionCase{{"-s"}, optionsSuffix(0, 9, 0, 0, 0)},
        OptionCase{{"--nosync-nosig"}, optionsSuffix(0, 9, 0, 0, 0)},
        OptionCase{{"-n"}, optionsSuffix(0, 9, 0, 0, 0)},
        OptionCase{{"-nosync"}, optionsSuffix(0, 9, 0, 0, 0)},
        OptionCase{{"--sigonly"}, optionsSuffix(0, 11, 0, 0, 0)},
        OptionCase{{"-o"}, optionsSuffix(0, 11, 0, 0, 0)},
        OptionCase{{"-sigonly"}, optionsSuffix(0, 11, 0, 0, 0)},
        OptionCase{{"--sync-nosig"}, optionsSuffix(0, 12, 0, 0, 0)},
        OptionCase{{"-S"}, optionsSuffix(0, 12, 0, 0, 0)},
        OptionCase{{"--casesensitive"}, optionsSuffix(0, 10, 1, 0, 0)},
        OptionCase{{"-C"}, optionsSuffix(0, 10, 1, 0, 0)},
        OptionCase{{"-casesensitive"}, optionsSuffix(0, 10, 1, 0, 0)},
        OptionCase{{"--no-mapped"}, optionsSuffix(0, 10, 0, 0, 1)},
        OptionCase{{"--port", "80"}, optionsSuffix(80, 10, 0, 0, 0)},
        OptionCase{{"--port=80"}, optionsSuffix(80, 10, 0, 0, 0)},
        OptionCase{{"--po", "81"}, optionsSuffix(81, 10, 0, 0, 0)},
        OptionCase{{"-p", "82"}, optionsSuffix(82, 10, 0, 0, 0)},
        OptionCase{{"-p83"}, optionsSuffix(83, 10, 0, 0, 0)},
        OptionCase{{"-port", "84"}, optionsSuffix(84, 10, 0, 0, 0)},
        OptionCase{{"--security", " 12abc"}, optionsSuffix(0, 10, 0, 12, 0)},
        OptionCase{{"-L", "-5"}, optionsSuffix(0, 10, 0, -5, 0)},
        OptionCase{{"-security", "x"}, optionsSuffix(0, 10, 0, 0, 0)},
        OptionCase{{"--security", "+7"}, optionsSuffix(0, 10, 0, 7, 0)},
        // Stored as it comes out of strtol (whose range is that of long on
        // the target), cut to 32 bits without a check.
        OptionCase{{"--port", "4294967297"},
                   optionsSuffix(sizeof(long) == 8 ? 1 : 2147483647, 10, 0, 0, 0)},
        // Legacy words act before every option, wherever they stand.
        OptionCase{{"-nosync", "--sync-nosig"}, optionsSuffix(0, 12, 0, 0, 0)},
        OptionCase{{"--sync-nosig", "-nosync"}, optionsSuffix(0, 12, 0, 0, 0)},
        OptionCase{{"--port", "1", "-port", "2"}, optionsSuffix(1, 10, 0, 0, 0)},
        // A later option wins over an earlier one.
        OptionCase{{"--sigonly", "--nosync"}, optionsSuffix(0, 9, 0, 0, 0)},
        OptionCase{{"-L", "3", "--security=4"}, optionsSuffix(0, 10, 0, 4, 0)}));

const std::string deprecationNotice =
    "6 Review your options since some of them are deprecated. Options start with '--' and not "
    "with '-'!\\n";

int countLines(const std::vector<std::string> &lines, const std::string &wanted) {
    int count = 0;
    for (const std::string &line : lines)
        count += line == wanted;
    return count;
}

struct NoticeCase {
    std::vector<std::string> options;
    int notices;
};

class DeprecationNotice : public testing::TestWithParam<NoticeCase> {};

TEST_P(DeprecationNotice, goesToSyslogOnlyOncePerRun) {
    harness::Run request;
    request.args = GetParam().options;
    request.args.insert(request.args.end(), {"set", "root.A.x", "v"});
    harness::Result result = harness::run(request);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(countLines(result.syslog, deprecationNotice), GetParam().notices);
}

INSTANTIATE_TEST_SUITE_P(
    Words, DeprecationNotice,
    testing::Values(NoticeCase{{"-port", "80", "-nosync"}, 1},
                    // Also under --nolog: it does not go through the diagnostics.
                    NoticeCase{{"--nolog", "-casesensitive"}, 1},
                    // The marker typed by the user counts as well.
                    NoticeCase{{"-z", "-z"}, 1}, NoticeCase{{"--nosync", "-C"}, 0}));

TEST(LegacyWords, actAmongCommandWordsWithoutNotice) {
    // The value "-nosync" is rewritten by the pre-scan, but option parsing
    // has stopped at "set" and never meets the marker.
    harness::Run request;
    request.args = {"set", "root.A.x", "-nosync"};
    harness::Result result = harness::run(request);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(countLines(result.syslog, deprecationNotice), 0);
    ASSERT_EQ(harness::storeCalls(result).size(), 1u);
    EXPECT_EQ(harness::storeCalls(result)[0], "cli_setCustomParam(\"root.A.x\", \"-z\")");
    std::string withOptions = result.callsWithOptions.back();
    EXPECT_NE(withOptions.find("syncMode=9"), std::string::npos) << withOptions;
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
