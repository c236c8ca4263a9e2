#include <dlfcn.h>
#include <sqlite3.h>

#include <atomic>

#include "store_fixture.h"

// Counts the syncs to stable storage that the store asks for: the test
// program's own fsync and fdatasync stand in front of the C library's.
namespace {
std::atomic<int> syncCalls{0};

template <typename Function> Function next_definition(const char *name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" int fsync(int fd) {
    ++syncCalls;
    static auto real = next_definition<int (*)(int)>("fsync");
    return real(fd);
}

extern "C" int fdatasync(int fd) {
    ++syncCalls;
    static auto real = next_definition<int (*)(int)>("fdatasync");
    return real(fd);
}

namespace {

struct ModeEffect {
    int32_t mode;
    bool recordsChange;
    bool syncsEachWrite;
};

class SyncModeTest : public StoreTest, public ::testing::WithParamInterface<ModeEffect> {
  protected:
    // What a watcher polling the change log sees: the number of entries and the last name.
    std::pair<int, std::string> change_log() {
        sqlite3 *db = nullptr;
        EXPECT_EQ(sqlite3_open_v2(storePath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
        sqlite3_stmt *query = nullptr;
        sqlite3_prepare_v2(db, "SELECT COUNT(*), (SELECT name FROM changes ORDER BY sequence DESC LIMIT 1) FROM changes",
                           -1, &query, nullptr);
        std::pair<int, std::string> result;
        if (sqlite3_step(query) == SQLITE_ROW) {
            result.first = sqlite3_column_int(query, 0);
            auto *name = sqlite3_column_text(query, 1);
            result.second = name ? reinterpret_cast<const char *>(name) : "";
        }
        sqlite3_finalize(query);
        sqlite3_close(db);
        return result;
    }
};

TEST_P(SyncModeTest, EachModeHasItsOwnEffectOnSyncingAndSignalling) {
    load_ok(deviceFile);
    options.syncMode = GetParam().mode;
    ASSERT_EQ(set("root.Network.Port", "81"), 0); // the mode takes effect
    int logBefore = change_log().first;

    syncCalls = 0;
    ASSERT_EQ(set("root.Network.HostName", "watched"), 0);
    int syncs = syncCalls;

    auto [logAfter, lastName] = change_log();
    if (GetParam().recordsChange) {
        EXPECT_EQ(logAfter, logBefore + 1);
        EXPECT_EQ(lastName, "root.Network.HostName");
    } else {
        EXPECT_EQ(logAfter, logBefore);
    }
    if (GetParam().syncsEachWrite)
        EXPECT_GT(syncs, 0);
    else
        EXPECT_EQ(syncs, 0);
}

INSTANTIATE_TEST_SUITE_P(StoreSync, SyncModeTest,
                         ::testing::Values(ModeEffect{SYNC_NOSYNC, false, false}, ModeEffect{SYNC_DEFAULT, true, false},
                                           ModeEffect{SYNC_SIGNAL_ONLY, true, false},
                                           ModeEffect{SYNC_NOSIGNAL, false, true}),
                         [](const auto &info) { return "mode" + std::to_string(info.param.mode); });

TEST_F(StoreTest, SyncForcesEverythingToStableStorage) {
    load_ok(deviceFile);
    options.syncMode = SYNC_NOSYNC;
    ASSERT_EQ(set("root.Network.HostName", "unsynced"), 0);
    syncCalls = 0;
    int32_t err = 99;
    cli_sync(&options, &err);
    EXPECT_EQ(err, 0);
    EXPECT_GT(syncCalls.load(), 0);
}

} // namespace
