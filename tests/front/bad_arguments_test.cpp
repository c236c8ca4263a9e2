// Odd argument vectors: nothing crashes or reads past the vector.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "harness.h"

namespace {

TEST(BadArguments, emptyWordsAreInvalidCommandsOrPlainValues) {
    harness::Run request;
    request.args = {"", "set"};
    harness::Result empty = harness::run(request);
    EXPECT_EQ(empty.err, "Invalid command ''!\n");
    EXPECT_EQ(empty.status, 1);

    request.args = {"set", "", ""};
    harness::Result emptyValues = harness::run(request);
    EXPECT_EQ(emptyValues.status, 0);
    EXPECT_EQ(harness::storeCalls(emptyValues),
              std::vector<std::string>{"cli_setCustomParam(\"\", \"\")"});
}

TEST(BadArguments, legacyValueWordPastTheEndIsNotRead) {
    for (const char *legacy : {"-port", "-security"}) {
        harness::Run request;
        request.args = {"set", "root.A.x", "v", legacy};
        harness::Result result = harness::run(request);
        EXPECT_EQ(result.err, "Invalid command '-z'!\n");
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(harness::storeCalls(result).size(), 1u);
    }
}

TEST(BadArguments, hundredThousandWordsRunEveryCommand) {
    harness::Run request;
    for (int i = 0; i < 33333; i++)
        request.args.insert(request.args.end(), {"set", "root.A.x", std::to_string(i)});
    request.args.push_back("sync");
    harness::Result result = harness::run(request);
    EXPECT_EQ(result.status, 0) << result.err.substr(0, 200);
    std::vector<std::string> calls = harness::storeCalls(result);
    ASSERT_EQ(calls.size(), 33334u);
    EXPECT_EQ(calls[33332], "cli_setCustomParam(\"root.A.x\", \"33332\")");
    EXPECT_EQ(calls.back(), "cli_sync()");
}

TEST(BadArguments, longestWordsAndInvalidUtf8PassThroughWhole) {
    // Linux refuses to start a program with a word of 128 KiB or more
    // (MAX_ARG_STRLEN), so this is the longest word the program can meet.
    std::string huge(128 * 1024 - 1, 'x');
    std::string invalid = "\xff\xfe\xc3(\x80";
    harness::Run request;
    request.args = {"set", invalid, huge};
    harness::Result stored = harness::run(request);
    EXPECT_EQ(stored.status, 0);
    ASSERT_EQ(harness::storeCalls(stored).size(), 1u);
    EXPECT_EQ(harness::storeCalls(stored)[0],
              "cli_setCustomParam(\"\\xff\\xfe\\xc3(\\x80\", \"" + huge + "\")");

    request.args = {huge};
    harness::Result invalidCommand = harness::run(request);
    EXPECT_EQ(invalidCommand.err, "Invalid command '" + huge + "'!\n");
    EXPECT_EQ(invalidCommand.status, 1);
}

TEST(BadArguments, emptyArgumentVectorIsWrongArguments) {
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
    EXPECT_EQ(harness::readFile(log).substr(0, 17), "Wrong arguments!\n");
}

} // namespace
