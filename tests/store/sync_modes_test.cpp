#include <dlfcn.h>
#include <sqlite3.h>

#include "store_table.h"

// Syncs to stable storage are counted: the test program's fsync and
// fdatasync stand in front of the C library's.
static int syncs = 0;
#define COUNTED(call)                                                                              \
    extern "C" int call(int fd) {                                                                  \
        return ++syncs, reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, #call))(fd);               \
    }
COUNTED(fsync)
COUNTED(fdatasync)

namespace {

// What a watcher polling the change log sees: how many changes, and the last name.
std::string change_log() {
    sqlite3 *db = nullptr;
    sqlite3_stmt *query = nullptr;
    sqlite3_open_v2(getenv("KELBRIN_STORE"), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_prepare_v2(
        db,
        "SELECT COUNT(*) || ' ' || COALESCE((SELECT name FROM changes ORDER BY sequence DESC"
        " LIMIT 1), '') FROM changes",
        -1, &query, nullptr);
    std::string log =
        sqlite3_step(query) == SQLITE_ROW ? (const char *)sqlite3_column_text(query, 0) : "";
    sqlite3_finalize(query);
    sqlite3_close(db);
    return log;
}

// The change log after loading the device (7 parameters), two writes, a
// group made and one deleted; and whether those writes were synced.
TEST_F(StoreTable, EachSyncModeHasItsEffectOnSyncsAndTheChangeLog) {
    for (auto [mode, log, synced] : {std::tuple{SYNC_NOSYNC, "0 ", false},
                                     {SYNC_DEFAULT, "11 root.Badge.B0", false},
                                     {SYNC_SIGNAL_ONLY, "11 root.Badge.B0", false},
                                     {SYNC_NOSIGNAL, "0 ", true}}) {
        fresh_store(false);
        options.syncMode = mode;
        play("load tests/store/device.json\nset root.Network.Port 81"); // the mode takes effect
        syncs = 0;
        play("set root.Network.HostName x\ncreate root.Badge badge 0 => B0\ndelete root.Badge.B0");
        EXPECT_EQ(syncs > 0, synced) << mode;
        EXPECT_EQ(change_log(), log) << mode;
    }
    syncs = 0;
    EXPECT_EQ(run("sync"), "OK");
    EXPECT_GE(syncs, 2) << "sync forces the log and the database file";
}

} // namespace
