// Stores the program cannot use as it wants: files that are not databases,
// a file system that is full, and one that is read-only. The program reports
// the store's error code and never damages what the store already holds.
#include <gtest/gtest.h>

#include <string>

#include "front/program_run.h"

namespace {

const char groupFile[] = R"({ "groups": [ { "group": "root.W", "items": [
  { "parameter": "P0", "value": "start" } ] } ] })";

struct ForeignFile {
    const char *what;
    std::string content;
};

class NotADatabase : public ::testing::TestWithParam<ForeignFile> {};

TEST_P(NotADatabase, IsReportedAndLeftAsItWas) {
    harness::TempDir directory;
    std::string store = directory.file("store.db");
    harness::writeFile(store, GetParam().content);

    harness::Result reading = program_run::run_on(store, {"--nolog", "get", "root.W.P0"});
    EXPECT_EQ(reading.status, 2);
    EXPECT_EQ(reading.err, "#Error -13 getting parameter 'root.W.P0'!\n");

    harness::Result writing = program_run::run_on(store, {"--nolog", "set", "root.W.P0", "x"});
    EXPECT_EQ(writing.status, 1);
    EXPECT_EQ(writing.err, "Error -13 setting 'root.W.P0' to 'x'!\nFailed to set parameter root.W.P0.\n");

    EXPECT_EQ(harness::readFile(store), GetParam().content);
}

std::string noise() {
    std::string bytes;
    for (unsigned i = 0; i < 70000; i++)
        bytes += static_cast<char>((i * 2654435761u) >> 24);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Files, NotADatabase,
                         ::testing::Values(ForeignFile{"text", "hello, not a database\n"},
                                           ForeignFile{"noise", noise()},
                                           ForeignFile{"header", std::string("SQLite format 3\0", 16) +
                                                                     std::string(200, 'x')}),
                         [](const auto &info) { return std::string(info.param.what); });

// Runs the script in a mount namespace of its own (as an unprivileged user
// may), with $STORE_DIR a small tmpfs and $PROGRAM the program.
class SmallFileSystem : public ::testing::Test {
  protected:
    void SetUp() override {
        int status = -1;
        harness::shell("unshare -rm true", &status);
        if (status != 0)
            GTEST_SKIP() << "no mount namespaces here: unshare -rm fails";
    }

    std::string run_script(const std::string &script) {
        harness::writeFile(directory.file("groups.json"), groupFile);
        harness::writeFile(directory.file("script.sh"), script);
        std::string mountPoint = directory.file("fs");
        int status = -1;
        std::string output = harness::shell(
            "mkdir -p " + mountPoint + " && cd " + directory.path() +
                " && STORE_DIR=" + mountPoint + " PROGRAM=" + harness::programPath() +
                " unshare -rm sh -c 'mount -t tmpfs -o size=160k tmpfs \"$STORE_DIR\" && "
                "KELBRIN_STORE=\"$STORE_DIR/store.db\" sh script.sh' 2>&1",
            &status);
        EXPECT_EQ(status, 0) << output;
        return output;
    }

    harness::TempDir directory;
};

TEST_F(SmallFileSystem, FullDiskFailsTheSettingsThatDoNotFitAndKeepsTheStoreSound) {
    std::string bigValues = "[W]\n";
    for (int i = 0; i < 100; i++)
        bigValues += "P0 = " + std::string(3000, 'x') + std::to_string(i) + "\n";
    harness::writeFile(directory.file("big.txt"), bigValues);
    std::string output = run_script(
        "$PROGRAM --nolog readgroupfile groups.json; echo \"load $?\"\n"
        "$PROGRAM --nolog set root.W.P0 before; echo \"set $?\"\n"
        "$PROGRAM --nolog setparams big.txt 2>errors.txt; echo \"import $?\"\n"
        "grep -c \"^Error -15 setting 'root.W.P0' to 'xxx\" errors.txt\n"
        "$PROGRAM --nolog get root.W.P0 - RAW | cut -c1-3; echo \"get $?\"\n"
        "sqlite3 \"$KELBRIN_STORE\" 'PRAGMA integrity_check'\n");
    // Every setting that did not fit is reported with the store's code, the
    // run goes on and ends with status 2, and the store stays readable with
    // either the old value or one of the file's.
    EXPECT_NE(output.find("load 0\nset 0\nimport 2\n"), std::string::npos) << output;
    EXPECT_EQ(output.find("\n0\n"), std::string::npos) << "no failed setting was reported\n" << output;
    EXPECT_TRUE(output.find("\nbef\nget 0\nok\n") != std::string::npos ||
                output.find("\nxxx\nget 0\nok\n") != std::string::npos)
        << output;
}

TEST_F(SmallFileSystem, ReadOnlyStoreRefusesWritesAndStillAnswersReads) {
    std::string output = run_script(
        "$PROGRAM --nolog readgroupfile groups.json; echo \"load $?\"\n"
        "$PROGRAM --nolog set root.W.P0 before; echo \"set $?\"\n"
        "mount -o remount,ro \"$STORE_DIR\"\n"
        "$PROGRAM --nolog set root.W.P0 after; echo \"read-only set $?\"\n"
        "$PROGRAM --nolog get root.W.P0 - RAW; echo \"read-only get $?\"\n"
        "mount -o remount,rw \"$STORE_DIR\"\n"
        "$PROGRAM --nolog get root.W.P0 - RAW; echo \"get $?\"\n");
    // The log and its index stay beside the store between processes, so a
    // read-only store can still be read.
    EXPECT_EQ(output, "load 0\nset 0\n"
                      "Error -13 setting 'root.W.P0' to 'after'!\nFailed to set parameter root.W.P0.\n"
                      "read-only set 1\n"
                      "before\nread-only get 0\n"
                      "before\nget 0\n");
}

} // namespace
