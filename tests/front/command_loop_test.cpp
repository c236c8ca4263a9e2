// The command loop as a whole process: messages, exit statuses, CGI mode.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

const std::string usageText =
    "Usage: kelbrinclient [--nolog] [--nocgi] [--nosync] [--nosync-nosig] [--sync-nosig] "
    "[--sigonly] [--port <port>] [--security <level>] [--casesensitive] [--showaccess] "
    "[--restore] [--no-mapped] <commands>\n"
    "commands are: set <name> <value>\n"
    "              get <name> [<file> [<type>]]\n"
    "              getgroup <group> [<file> [<type>]]\n"
    "              getgrouplist <group> [<file> [<type>]]\n"
    "              getlist <infile> <outfile> <type>\n"
    "              addgroup <group> [--number <number>] <template>\n"
    "              deletegroup <group>\n"
    "              readgroupfile <file>\n"
    "              setparams <file>\n"
    "              upgradedynparams <directory | filename>\n"
    "              sync\n"
    " type can be SCRIPT, VALUE, NAMEVALUE, NAMEVALUESECTIONS, PHP, FORM, RAW\n"
    " file '-' is stdin/stdout\n";

const std::string openlogLine = "openlog \"kelbrinclient\" 1 8";

harness::Result runWith(std::vector<std::string> args, std::string script = "{}") {
    harness::Run request;
    request.args = std::move(args);
    request.script = std::move(script);
    return harness::run(request);
}

TEST(StartUp, noArgumentsGivesWrongArgumentsAndUsage) {
    harness::Result result = runWith({});
    EXPECT_EQ(usageText.size(), 763u);
    EXPECT_EQ(result.err, "Wrong arguments!\n" + usageText);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.syslog,
              (std::vector<std::string>{openlogLine, "4 Early exit. Bad arguments."}));
    EXPECT_EQ(result.calls, std::vector<std::string>{"cli_resetOptions()"});
}

TEST(StartUp, optionsWithoutCommandSayCommandExpected) {
    harness::Result quiet = runWith({"--nolog"});
    EXPECT_EQ(quiet.err, "Command expected!\n");
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.syslog, std::vector<std::string>{openlogLine});

    harness::Result logged = runWith({"--sigonly"});
    EXPECT_EQ(logged.err, "Command expected!\n");
    EXPECT_EQ(logged.syslog, (std::vector<std::string>{openlogLine, "4 Command expected!"}));
}

TEST(StartUp, unknownOptionGivesParserMessageAndUsage) {
    harness::Result result = runWith({"-m", "sync"});
    EXPECT_EQ(result.err, "kelbrinclient: invalid option -- 'm'\n" + usageText);
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(harness::storeCalls(result).empty());
}

TEST(StartUp, missingOptionArgumentGivesParserMessageAndUsage) {
    harness::Result result = runWith({"--port"});
    EXPECT_EQ(result.err, "kelbrinclient: option '--port' requires an argument\n" + usageText);
    EXPECT_EQ(result.status, 1);
}

TEST(StartUp, doubleDashEndsTheOptions) {
    harness::Result result = runWith({"--nolog", "--", "set", "root.A.x", "v"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(harness::storeCalls(result),
              std::vector<std::string>{"cli_setCustomParam(\"root.A.x\", \"v\")"});
}

TEST(StartUp, optionAfterTheFirstCommandIsAnInvalidCommand) {
    harness::Result result = runWith({"set", "root.A.x", "v", "--nolog"});
    EXPECT_EQ(harness::storeCalls(result),
              std::vector<std::string>{"cli_setCustomParam(\"root.A.x\", \"v\")"});
    EXPECT_EQ(result.err, "Invalid command '--nolog'!\n");
    EXPECT_EQ(result.syslog,
              (std::vector<std::string>{openlogLine, "4 Invalid command '--nolog'!"}));
    EXPECT_EQ(result.status, 1);
}

TEST(CgiMode, requestMethodMakesOutputBeginWithCarriageReturnLineFeed) {
    harness::Run request;
    request.args = {"set", "root.A.x", "v"};
    request.env["REQUEST_METHOD"] = "";
    harness::Result result = harness::run(request);
    EXPECT_EQ(result.out, "\r\n");
    EXPECT_EQ(result.status, 0);

    request.args.insert(request.args.begin(), "--nocgi");
    EXPECT_EQ(harness::run(request).out, "");
    request.args[0] = "-c";
    EXPECT_EQ(harness::run(request).out, "");
}

TEST(CgiMode, headerEndIsWrittenBeforeTheMissingCommandIsReported) {
    harness::Run request;
    request.args = {"--nolog"};
    request.env["REQUEST_METHOD"] = "GET";
    harness::Result result = harness::run(request);
    EXPECT_EQ(result.out, "\r\n");
    EXPECT_EQ(result.err, "Command expected!\n");
    EXPECT_EQ(result.status, 1);
}

struct TooFewCase {
    std::vector<std::string> words;
    std::string message;
};

class TooFewWords : public testing::TestWithParam<TooFewCase> {};

TEST_P(TooFewWords, reportTheCommandsMessageAndExitOne) {
    std::vector<std::string> args = {"set", "root.A.x", "v"};
    args.insert(args.end(), GetParam().words.begin(), GetParam().words.end());
    harness::Result result = runWith(args);
    EXPECT_EQ(result.err, GetParam().message + "\n");
    EXPECT_EQ(result.syslog, (std::vector<std::string>{openlogLine, "4 " + GetParam().message}));
    EXPECT_EQ(result.status, 1);
    // What ran before stays done.
    EXPECT_EQ(harness::storeCalls(result),
              std::vector<std::string>{"cli_setCustomParam(\"root.A.x\", \"v\")"});
}

INSTANTIATE_TEST_SUITE_P(
    Commands, TooFewWords,
    testing::Values(TooFewCase{{"readgroupfile"}, "File name expected!"},
                    TooFewCase{{"setparams"}, "File name expected!"},
                    TooFewCase{{"upgradedynparams"}, "File name expected!"},
                    TooFewCase{{"set", "root.A.y"}, "Parameter name and value expected!"},
                    TooFewCase{{"get"}, "Parameter name expected!"},
                    TooFewCase{{"getgroup"}, "Parameter name/group expected!"},
                    TooFewCase{{"addgroup", "root.Badge"}, "Group name and template expected!"},
                    TooFewCase{{"deletegroup"}, "Group name expected!"},
                    TooFewCase{{"getlist", "in", "out"}, "List file expected!"},
                    TooFewCase{{"getgrouplist"}, "Group name expected!"}));

TEST(CommandLoop, unknownCommandAfterWorkDoneExitsOne) {
    harness::Result result = runWith({"set", "root.A.x", "v", "frobnicate", "set", "b", "c"});
    EXPECT_EQ(result.err, "Invalid command 'frobnicate'!\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(harness::storeCalls(result).size(), 1u);
}

TEST(CommandLoop, commandNamesMatchOnlyWholeWordsAndCase) {
    for (const char *word : {"Set", "sets", "se", "SYNC", ""}) {
        harness::Result result = runWith({word, "root.A.x", "v"});
        EXPECT_EQ(result.err, std::string("Invalid command '") + word + "'!\n");
        EXPECT_EQ(result.status, 1);
    }
}

TEST(CommandLoop, runsCommandsInOrderEachTakingItsWords) {
    harness::Result result = runWith({"set", "root.A.x", "1", "sync", "deletegroup", "root.B",
                                      "readgroupfile", "g.json", "set", "root.A.y", "set"},
                                     R"({"params": [{"name": "root.B.z", "value": "0"}]})");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "Syncing parameters!\n");
    EXPECT_EQ(harness::storeCalls(result),
              (std::vector<std::string>{"cli_setCustomParam(\"root.A.x\", \"1\")", "cli_sync()",
                                        "cli_deleteGroup(\"root.B\")",
                                        "cli_readGroupFile(\"g.json\")",
                                        "cli_setCustomParam(\"root.A.y\", \"set\")"}));
}

} // namespace
