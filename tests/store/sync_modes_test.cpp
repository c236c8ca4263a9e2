#include <dlfcn.h>

#include <cstdio>

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

// What a watcher polling the change log sees: how many changes, and the last
// name. The sqlite3 shell reads it in a process of its own: a second SQLite
// opening the store file in this process would drop the library's locks.
std::string change_log() {
    std::string command = std::string("sqlite3 -readonly '") + getenv("KELBRIN_STORE") +
                          "' \"SELECT COUNT(*) || ' ' || COALESCE((SELECT name FROM changes"
                          " ORDER BY sequence DESC LIMIT 1), '') FROM changes\"";
    FILE *shell = popen(command.c_str(), "r");
    char line[256] = "";
    if (!shell || !fgets(line, sizeof line, shell))
        line[0] = '\0';
    EXPECT_TRUE(shell && pclose(shell) == 0) << command;
    line[strcspn(line, "\n")] = '\0';
    return line;
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
