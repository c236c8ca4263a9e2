// A store file that the library wrote at version 1, opened by this one.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include <kelbrin.h>

#include "errors.h"
#include "schema.h"

namespace {

const std::string fixtures = FIXTURE_DIR;

std::string contents(const std::string &path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// The first column of the statement's first row, read as another program would.
std::string sql(const std::string &store, const std::string &statement) {
    sqlite3 *db = nullptr;
    sqlite3_stmt *query = nullptr;
    std::string first;
    if (sqlite3_open(store.c_str(), &db) == SQLITE_OK &&
        sqlite3_prepare_v2(db, statement.c_str(), -1, &query, nullptr) == SQLITE_OK &&
        sqlite3_step(query) == SQLITE_ROW && sqlite3_column_text(query, 0))
        first = reinterpret_cast<const char *>(sqlite3_column_text(query, 0));
    sqlite3_finalize(query);
    sqlite3_close(db);
    return first;
}

// One run of the program as make-v1-fixture.sh records it: the words, the
// output without the banner that holds the time, the exit status.
std::string run(const std::string &store, const std::string &words) {
    std::string command = "cd " + fixtures + " && KELBRIN_STORE=" + store +
                          " " KELBRIN_PROGRAM " --nolog " + words + " 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    std::string output;
    char chunk[4096];
    for (std::size_t got; pipe && (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;)
        output.append(chunk, got);
    int status = pipe ? pclose(pipe) : -1;
    output = std::regex_replace(output, std::regex("# [^\n]* Parameter list, [^\n]*\n"), "");
    return "$ " + words + "\n" + output + "exit " + std::to_string(WEXITSTATUS(status)) + "\n";
}

class OldStore : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelbrin-upgrade-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        store = directory + "/store.db";
        std::filesystem::copy_file(fixtures + "/v1_store.db", store);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    std::string directory;
    std::string store;
};

TEST_F(OldStore, IsUpgradedOnFirstOpenAndShowsAndTakesChangesAsTheOldProgramDid) {
    std::string original = directory + "/original.db";
    std::filesystem::copy_file(store, original);
    std::ifstream runs(fixtures + "/v1_runs.txt");
    std::string output;
    for (std::string words; std::getline(runs, words);)
        output += run(store, words);
    EXPECT_EQ(output, contents(fixtures + "/v1_runs.out"));
    EXPECT_EQ(sql(store, "PRAGMA user_version"), std::to_string(kelbrin::current_schema_version()));
    std::string oldChanges =
        "SELECT group_concat(sequence || ' ' || name) FROM changes WHERE sequence <= " +
        sql(original, "SELECT max(sequence) FROM changes");
    EXPECT_EQ(sql(store, oldChanges), sql(original, oldChanges)) << "the change log goes on";
}

TEST_F(OldStore, ProcessesOpeningItAtOnceTakeEachStepOnce) {
    sqlite3 *holder = nullptr;
    ASSERT_EQ(sqlite3_open(store.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::string first, second;
    std::thread one([&] { first = run(store, "get root.Net.Host"); });
    std::thread other([&] { second = run(store, "get root.Net.Host"); });
    // Both have read version 1 by now and wait for the write lock.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    one.join();
    other.join();
    EXPECT_EQ(first, "$ get root.Net.Host\n\"camera-7\"\nexit 0\n");
    EXPECT_EQ(second, first);
}

TEST_F(OldStore, NewerOneIsRefusedAndLeftByteForByte) {
    sql(store, "PRAGMA user_version = " + std::to_string(kelbrin::current_schema_version() + 1));
    std::string before = contents(store);
    setenv("KELBRIN_STORE", store.c_str(), 1);
    ClientOptions options;
    cli_resetOptions(&options);
    int32_t err = 0;
    std::free(cli_getCustomParam("root.Net.Host", &options, &err));
    EXPECT_EQ(err, kelbrin::STORE_TOO_NEW);
    cli_setCustomParam("root.Net.Host", "x", &options, &err);
    EXPECT_EQ(err, kelbrin::STORE_TOO_NEW);
    EXPECT_TRUE(contents(store) == before) << "the file changed";
}

} // namespace
