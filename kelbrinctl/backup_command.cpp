// backup DEST: a consistent copy of the store while other processes keep
// writing to it, by SQLite's online backup. The copy is made under a
// temporary name beside DEST and renamed when complete, so DEST is either
// absent or whole; an existing DEST is never overwritten.
#include <sys/stat.h>

#include <memory>

#include "kelbrinctl/commands.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/partial_file.h"
#include "kelbrinctl/store_access.h"

namespace kelbrinctl {

namespace {

// Copies every page of the store in one step: one read snapshot, so the
// copy is consistent, and in WAL mode writers go on meanwhile.
void copy_pages(sqlite3 *store, const std::string &path) {
    sqlite3 *copy = nullptr;
    int result = sqlite3_open_v2(path.c_str(), &copy, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3 *)> closing(copy, sqlite3_close);
    if (result != SQLITE_OK)
        throw Failure("backup: cannot open " + path + ": " + sqlite3_errstr(result));
    sqlite3_backup *backup = sqlite3_backup_init(copy, "main", store, "main");
    if (!backup)
        throw Failure(std::string("backup: cannot start: ") + sqlite3_errmsg(copy));
    int stepped = sqlite3_backup_step(backup, -1);
    int finished = sqlite3_backup_finish(backup);
    if (stepped != SQLITE_DONE || finished != SQLITE_OK)
        throw Failure(std::string("backup: copying failed: ") + sqlite3_errmsg(copy));
}

int backup(const Invocation &invocation) {
    const std::string &destination = invocation.operands[0];
    std::string path = store_path_for(invocation.store);
    std::unique_ptr<kelbrin::Database> store = open_store_to_read(path);
    struct stat info;
    if (lstat(destination.c_str(), &info) == 0)
        throw Failure("backup: " + destination + " exists already; give a new file");
    PartialFile partial("backup", destination);
    copy_pages(store->handle(), partial.path());
    partial.keep(false);
    return exitDone;
}

} // namespace

extern const Command backupCommand{
    .name = "backup",
    .operands = "DEST",
    .fewest = 1,
    .most = 1,
    .summary = "copy the store, while it is in use, to the new file DEST",
    .run = backup,
};

} // namespace kelbrinctl
