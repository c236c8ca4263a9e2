// A store file that the library wrote at version 1, opened by this one.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <thread>

#include "errors.h"
#include "schema.h"

namespace {

const std::string fixtures = FIXTURE_DIR;

std::string contents(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// What the command prints, without the banner that holds the time, and its
// exit status, as make-v1-fixture.sh records them.
std::string shell(const std::string &command) {
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    std::string output;
    char chunk[4096];
    for (std::size_t got; pipe && (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        output.append(chunk, got);
    int status = pipe ? pclose(pipe) : -1;
    output = std::regex_replace(output, std::regex("# [^\n]* Parameter list, [^\n]*\n"), "");
    return output + "exit " + std::to_string(WEXITSTATUS(status)) + "\n";
}

class OldStore : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelbrin-upgrade-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        std::filesystem::copy_file(fixtures + "/v1_store.db", store = directory + "/store.db");
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    std::string run(const std::string &words) {
        return "$ " + words + "\n" +
               shell("cd " + fixtures + " && KELBRIN_STORE=" + store +
                     " " KELBRIN_PROGRAM " --nolog " + words);
    }
    std::string sql(const std::string &statement) {
        return shell("sqlite3 " + store + " '" + statement + "'");
    }

    std::string directory;
    std::string store;
};

TEST_F(OldStore, IsUpgradedOnFirstOpenAndShowsAndTakesChangesAsTheOldProgramDid) {
    std::ifstream runs(fixtures + "/v1_runs.txt");
    std::string output;
    for (std::string words; std::getline(runs, words);)
        output += run(words);
    EXPECT_EQ(output, contents(fixtures + "/v1_runs.out"));
    EXPECT_EQ(sql("PRAGMA user_version"),
              std::to_string(kelbrin::current_schema_version()) + "\nexit 0\n");
}

// Step 3 keeps the old log (its entries without a time) and sizes it; a
// value set afterwards keeps the value it had as its default.
TEST_F(OldStore, KeepsItsChangeLogAndFromThenOnDefaultsAndLoggedValues) {
    run("set root.Net.Host camera-9");
    // 533: the 17 names' bytes and 16 for each.
    EXPECT_EQ(sql("SELECT count(*), max(log_end) FROM changes WHERE time IS NULL"), "17|533\nexit 0\n");
    EXPECT_EQ(sql("SELECT sequence, name, value, time > 0 FROM changes WHERE time IS NOT NULL"),
              "18|root.Net.Host|camera-9|1\nexit 0\n");
    EXPECT_EQ(sql("SELECT name, default_value FROM items WHERE default_value IS NOT NULL"),
              "root.Net.Host|camera-7\nexit 0\n");
}

TEST_F(OldStore, ProcessesOpeningItAtOnceTakeEachStepOnce) {
    sqlite3 *holder = nullptr;
    sqlite3_open(store.c_str(), &holder);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::string outputs[2];
    std::thread one([&] { outputs[0] = run("get root.Net.Host"); });
    std::thread other([&] { outputs[1] = run("get root.Net.Host"); });
    // Both read version 1 and wait for the write lock; then one upgrades.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    sqlite3_close(holder);
    one.join();
    other.join();
    EXPECT_EQ(outputs[0], "$ get root.Net.Host\n\"camera-7\"\nexit 0\n");
    EXPECT_EQ(outputs[1], outputs[0]);
}

TEST_F(OldStore, NewerOneIsRefusedAndLeftByteForByte) {
    sql("PRAGMA user_version = " + std::to_string(kelbrin::current_schema_version() + 1));
    std::string before = contents(store);
    std::string refused = "Error " + std::to_string(kelbrin::STORE_TOO_NEW) + " setting";
    EXPECT_NE(run("set root.Net.Host x").find(refused), std::string::npos);
    EXPECT_TRUE(contents(store) == before) << "the file changed";
}

} // namespace
