// Consecutive value changes share a write transaction: what another process
// sees, and what survives the writer, while that is so.
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "store_fixture.h"

namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

// A connection of its own, as another process would have.
class OtherConnection {
  public:
    explicit OtherConnection(const std::string &path) {
        sqlite3_open(path.c_str(), &db_);
        sqlite3_busy_timeout(db_, 0);
    }
    ~OtherConnection() { sqlite3_close(db_); }

    std::string value(const char *name) {
        sqlite3_stmt *query = nullptr;
        sqlite3_prepare_v2(db_, "SELECT value FROM items WHERE name = ?1", -1, &query, nullptr);
        sqlite3_bind_text(query, 1, name, -1, SQLITE_TRANSIENT);
        std::string result = sqlite3_step(query) == SQLITE_ROW
                                 ? reinterpret_cast<const char *>(sqlite3_column_text(query, 0))
                                 : "<none>";
        sqlite3_finalize(query);
        return result;
    }

    // True when this connection could take the write lock without waiting.
    bool can_write() {
        bool taken = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (taken)
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        return taken;
    }

  private:
    sqlite3 *db_ = nullptr;
};

int exit_status(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

const char *countersFile = R"({ "groups": [ { "group": "root.Count", "items": [
    { "parameter": "A", "value": "old" }, { "parameter": "B", "value": "old", "pattern": "[a-z]+" },
    { "parameter": "C", "value": "old" } ] } ] })";

TEST_F(StoreTest, IdleWritersChangeReachesOthersAndFreesTheWriteLockWithinFiftyMilliseconds) {
    load_ok(countersFile);
    ASSERT_EQ(set("root.Count.A", "new"), 0);
    OtherConnection other(storePath);
    auto deadline = steady_clock::now() + milliseconds(50);
    std::string seen;
    while ((seen = other.value("root.Count.A")) != "new" && steady_clock::now() < deadline)
        std::this_thread::sleep_for(milliseconds(1));
    EXPECT_EQ(seen, "new");
    EXPECT_TRUE(other.can_write());
}

TEST_F(StoreTest, ModeThatSyncsEveryChangeCommitsBeforeTheCallReturns) {
    load_ok(countersFile);
    options.syncMode = SYNC_NOSIGNAL;
    ASSERT_EQ(set("root.Count.A", "now"), 0);
    OtherConnection other(storePath);
    EXPECT_EQ(other.value("root.Count.A"), "now");
    EXPECT_TRUE(other.can_write());
}

TEST_F(StoreTest, RefusedChangeAmongBatchedOnesLeavesTheOthersInPlace) {
    load_ok(countersFile);
    pid_t writer = fork();
    if (writer == 0) {
        bool expected = set("root.Count.A", "new") == 0 && set("root.Count.B", "NOT-LOWER") != 0 &&
                        set("root.Count.C", "new") == 0;
        std::exit(expected ? 0 : 1);
    }
    ASSERT_EQ(exit_status(writer), 0);
    OtherConnection other(storePath);
    EXPECT_EQ(other.value("root.Count.A"), "new");
    EXPECT_EQ(other.value("root.Count.B"), "old");
    EXPECT_EQ(other.value("root.Count.C"), "new");
}

TEST_F(StoreTest, KilledWriterLeavesItsChangesUpToSomePointAndNoneAfter) {
    std::string items;
    constexpr int count = 300;
    for (int i = 0; i < count; ++i)
        items += std::string(i ? "," : "") + R"({ "parameter": "V)" + std::to_string(i) + R"(", "value": "old" })";
    load_ok(R"({ "groups": [ { "group": "root.Seq", "items": [ )" + items + " ] } ] }");
    pid_t writer = fork();
    if (writer == 0) {
        for (int i = 0; i < count; ++i)
            set(("root.Seq.V" + std::to_string(i)).c_str(), "new");
        raise(SIGKILL);
    }
    ASSERT_EQ(exit_status(writer), 128 + SIGKILL);
    OtherConnection other(storePath);
    int firstOld = count;
    for (int i = 0; i < count; ++i) {
        std::string value = other.value(("root.Seq.V" + std::to_string(i)).c_str());
        if (value == "old" && firstOld == count)
            firstOld = i;
        EXPECT_EQ(value, i < firstOld ? "new" : "old") << "V" << i << ", first unchanged V" << firstOld;
    }
}

} // namespace
