// The command loop as a whole process: messages, exit statuses, CGI mode, and
// odd argument vectors that must neither crash nor be read past their end.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "front/program_run.h"

namespace {

using program_run::Case;
using program_run::Lines;

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

const std::string setX = "cli_setCustomParam(\"root.A.x\", \"v\")";
// Linux refuses to start a program with a word of 128 KiB or more
// (MAX_ARG_STRLEN), so this is the longest word the program can meet.
const std::string huge(128 * 1024 - 1, 'x');

TEST(CommandLoop, RunsTheWordsOrReportsWhyNot) {
    std::vector<Case> cases = {
        {"no arguments", {}, "", "Wrong arguments!\n" + usageText, 1, Lines{},
         Lines{"4 Early exit. Bad arguments."}},
        {"options alone, not logged", {"--nolog"}, "", "Command expected!\n", 1, Lines{}, Lines{}},
        {"options alone, logged", {"--sigonly"}, "", "Command expected!\n", 1, Lines{},
         Lines{"4 Command expected!"}},
        {"unknown option", {"-m", "sync"}, "",
         "kelbrinclient: invalid option -- 'm'\n" + usageText, 1, Lines{}, Lines{}},
        {"option without its argument", {"--port"}, "",
         "kelbrinclient: option '--port' requires an argument\n" + usageText, 1, Lines{}},
        {"-- ends the options", {"--nolog", "--", "set", "root.A.x", "v"}, "", "", 0, Lines{setX}},
        {"an option after the first command is an invalid command",
         {"set", "root.A.x", "v", "--nolog"}, "", "Invalid command '--nolog'!\n", 1, Lines{setX},
         Lines{"4 Invalid command '--nolog'!"}},
        {"an unknown command ends the run, keeping what was done",
         {"set", "root.A.x", "v", "frobnicate", "set", "b", "c"}, "",
         "Invalid command 'frobnicate'!\n", 1, Lines{setX}},
        {"commands run in order, each taking its words",
         {"set", "root.A.x", "1", "sync", "deletegroup", "root.B", "readgroupfile", "g.json", "set",
          "root.A.y", "set"},
         "", "Syncing parameters!\n", 0,
         Lines{"cli_setCustomParam(\"root.A.x\", \"1\")", "cli_sync()",
               "cli_deleteGroup(\"root.B\")", "cli_readGroupFile(\"g.json\")",
               "cli_setCustomParam(\"root.A.y\", \"set\")"},
         std::nullopt, R"({"params": [{"name": "root.B.z", "value": "0"}]})"},
        {"empty words are invalid commands", {"", "set"}, "", "Invalid command ''!\n", 1, Lines{}},
        {"empty words are plain values", {"set", "", ""}, "", "", 0,
         Lines{"cli_setCustomParam(\"\", \"\")"}},
        {"a legacy value word past the end is not read", {"set", "root.A.x", "v", "-port"}, "",
         "Invalid command '-z'!\n", 1, Lines{setX}},
        {"a legacy value word past the end is not read", {"set", "root.A.x", "v", "-security"},
         "", "Invalid command '-z'!\n", 1, Lines{setX}},
        {"longest words and invalid UTF-8 pass whole", {"set", "\xff\xfe\xc3(\x80", huge}, "", "",
         0, Lines{"cli_setCustomParam(\"\\xff\\xfe\\xc3(\\x80\", \"" + huge + "\")"}},
        {"the longest word as an invalid command", {huge}, "", "Invalid command '" + huge + "'!\n",
         1, Lines{}},
        {"CGI output begins with the end of the header block", {"set", "root.A.x", "v"}, "\r\n",
         "", 0, Lines{setX}, Lines{}, "{}", {{"REQUEST_METHOD", ""}}},
        {"--nocgi keeps CGI mode off", {"--nocgi", "set", "root.A.x", "v"}, "", "", 0,
         Lines{setX}, Lines{}, "{}", {{"REQUEST_METHOD", ""}}},
        {"-c keeps CGI mode off", {"-c", "set", "root.A.x", "v"}, "", "", 0, Lines{setX}, Lines{},
         "{}", {{"REQUEST_METHOD", "GET"}}},
        {"the header block ends before a missing command is reported", {"--nolog"}, "\r\n",
         "Command expected!\n", 1, Lines{}, Lines{}, "{}", {{"REQUEST_METHOD", "GET"}}},
    };
    // Command names match whole words and case only.
    for (const char *word : {"Set", "sets", "se", "SYNC"})
        cases.push_back({"not a command name", {word, "root.A.x", "v"}, "",
                         "Invalid command '" + std::string(word) + "'!\n", 1, Lines{}});
    // Too few words for a command: its message, keeping what ran before.
    const std::pair<Lines, std::string> tooFew[] = {
        {{"readgroupfile"}, "File name expected!"},
        {{"setparams"}, "File name expected!"},
        {{"upgradedynparams"}, "File name expected!"},
        {{"set", "root.A.y"}, "Parameter name and value expected!"},
        {{"get"}, "Parameter name expected!"},
        {{"getgroup"}, "Parameter name/group expected!"},
        {{"addgroup", "root.Badge"}, "Group name and template expected!"},
        {{"deletegroup"}, "Group name expected!"},
        {{"getlist", "in", "out"}, "List file expected!"},
        {{"getgrouplist"}, "Group name expected!"},
    };
    for (const auto &[words, message] : tooFew) {
        Lines args = {"set", "root.A.x", "v"};
        args.insert(args.end(), words.begin(), words.end());
        cases.push_back({"too few words", args, "", message + "\n", 1, Lines{setX},
                         Lines{"4 " + message}});
    }
    for (const Case &c : cases)
        program_run::check(c);
}

TEST(CommandLoop, OptionsAreResetBeforeAnythingElse) {
    EXPECT_EQ(program_run::run({}).calls, Lines{"cli_resetOptions()"});
}

TEST(CommandLoop, HundredThousandWordsRunEveryCommand) {
    Lines args;
    for (int i = 0; i < 33333; i++)
        args.insert(args.end(), {"set", "root.A.x", std::to_string(i)});
    args.push_back("sync");
    harness::Result result = program_run::run(args);
    EXPECT_EQ(result.status, 0) << result.err.substr(0, 200);
    Lines calls = harness::storeCalls(result);
    ASSERT_EQ(calls.size(), 33334u);
    EXPECT_EQ(calls[33332], "cli_setCustomParam(\"root.A.x\", \"33332\")");
    EXPECT_EQ(calls.back(), "cli_sync()");
}

TEST(CommandLoop, EmptyArgumentVectorIsWrongArguments) {
    // execve with no argument zero at all: argc is 0.
    harness::TempDir directory;
    std::string log = directory.file("stderr");
    char *argv[] = {nullptr};
    std::string libraryPath = "LD_LIBRARY_PATH=" + harness::doubleLibraryDir();
    char *envp[] = {libraryPath.data(), nullptr};
    pid_t child;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_EQ(posix_spawn(&child, harness::programPath().c_str(), &actions, nullptr, argv, envp),
              0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(harness::readFile(log), "Wrong arguments!\n" + usageText);
}

} // namespace
