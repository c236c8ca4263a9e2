// The harness runs the real program and sees all it does.
#include <chrono>
#include <gtest/gtest.h>

#include "harness.h"
#include "process.h"

namespace {

using Lines = std::vector<std::string>;

TEST(Harness, RunWithoutWordsShowsUsageExitStatusAndSyslog) {
    harness::Result result = harness::run({});
    constexpr size_t usageBytes = 763;
    const std::string firstLine = "Wrong arguments!\n";
    ASSERT_EQ(result.err.size(), firstLine.size() + usageBytes);
    EXPECT_EQ(result.err.substr(0, firstLine.size()), firstLine);
    EXPECT_TRUE(result.err.substr(firstLine.size()).starts_with("Usage: kelbrinclient "));
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.syslog,
              (Lines{"openlog \"kelbrinclient\" 1 8", "4 Early exit. Bad arguments."}));
}

TEST(Harness, ArgumentZeroIsTheSyslogIdent) {
    harness::Run request;
    request.argv0 = "/usr/bin/other name";
    harness::Result result = harness::run(request);
    ASSERT_FALSE(result.syslog.empty());
    EXPECT_EQ(result.syslog[0], "openlog \"/usr/bin/other name\" 1 8");
}

TEST(Harness, SetReachesTheStoreWithTheProgramsOptions) {
    harness::Run request;
    request.args = {"set", "a", "b"};
    harness::Result result = harness::run(request);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(harness::storeCalls(result), (Lines{"cli_setCustomParam(\"a\", \"b\")"}));
    const std::string options =
        " {port=0 syncMode=10 groupNumber=0 caseSensitive=0 securityLevel=0 noMapped=0}";
    EXPECT_EQ(result.callsWithOptions,
              (Lines{"cli_resetOptions()", "cli_setCustomParam(\"a\", \"b\")" + options}));
    EXPECT_EQ(result.calls, (Lines{"cli_resetOptions()", "cli_setCustomParam(\"a\", \"b\")"}));
}

TEST(Harness, AFailingStoreCallIsLoggedWithItsError) {
    harness::Run request;
    request.args = {"set", "a", "b"};
    request.script = R"({"fail": [{"call": "cli_setCustomParam", "arg": "a", "error": -7}]})";
    harness::Result result = harness::run(request);
    EXPECT_EQ(harness::storeCalls(result), (Lines{"cli_setCustomParam(\"a\", \"b\") ! -7"}));
}

TEST(Harness, RequestMethodIsLeftOutUnlessTheTestSetsIt) {
    setenv("REQUEST_METHOD", "GET", 1);
    harness::Run request;
    request.args = {"set", "a", "b"};
    EXPECT_FALSE(harness::run(request).out.starts_with("\r\n"));
    request.env["REQUEST_METHOD"] = "GET";
    EXPECT_TRUE(harness::run(request).out.starts_with("\r\n"));
    unsetenv("REQUEST_METHOD");
}

TEST(Shell, FeedsLargeInputWhileReadingLargeOutput) {
    std::string input(1 << 20, 'x');
    int status = -1;
    EXPECT_EQ(harness::shell("cat; echo done >&2; exit 3", &status, input), input);
    EXPECT_EQ(status, 3);
}

TEST(Shell, ASignalGivesStatus128PlusItsNumber) {
    int status = -1;
    harness::shell("kill -TERM $$", &status);
    EXPECT_EQ(status, 128 + 15);
}

TEST(Process, IsKilledAtItsTimeoutEvenWhenAChildKeepsThePipesOpen) {
    auto started = std::chrono::steady_clock::now();
    harness::ProcessOutcome outcome =
        harness::run_process("/bin/sh", {"sh", "-c", "echo begun; sleep 5 & sleep 30"},
                             harness::inherited_environment(), "", "", 1);
    auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
            .count();
    EXPECT_EQ(outcome.status, 128 + 9);
    EXPECT_EQ(outcome.out, "begun\n");
    EXPECT_LT(seconds, 10);
}

TEST(Capture, SyslogTextIsEscapedAndTimeIsFaked) {
    harness::TempDir directory;
    const std::string log = directory.file("syslog.log");
    int status = -1;
    std::string out = harness::shell(
        "KELBRIN_CAPTURE_LOG='" + log +
            "' KELBRIN_FAKE_TIME=1234 ASAN_OPTIONS=verify_asan_link_order=0 LD_PRELOAD='" +
            KELBRIN_CAPTURE_PRELOAD + "' '" + CAPTURE_PROBE + "'",
        &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "1234");
    EXPECT_EQ(harness::readFile(log), "openlog NULL 0 24\n"
                                      "3 a\\nb \\\"q\\\"\\tNo such file or directory\n"
                                      "closelog\n");
}

} // namespace
