// backup DEST: a consistent copy of the store while other processes keep
// writing to it, by SQLite's online backup. The copy is made under a
// temporary name beside DEST and renamed when complete, so DEST is either
// absent or whole; an existing DEST is never overwritten.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "commands.h"
#include "messages.h"
#include "store_access.h"

namespace kelbrinctl {

namespace {

// A new file beside the destination, removed unless kept under its final name.
class PartialCopy {
  public:
    explicit PartialCopy(const std::string &destination)
        : destination_(destination), path_(destination + ".XXXXXX") {
        int descriptor = mkstemp(path_.data());
        if (descriptor < 0)
            throw Failure("backup: cannot create a file in " + folder_of(destination) + ": " +
                          std::strerror(errno));
        close(descriptor);
    }
    ~PartialCopy() {
        if (!kept_)
            unlink(path_.c_str());
    }
    PartialCopy(const PartialCopy &) = delete;
    PartialCopy &operator=(const PartialCopy &) = delete;

    const std::string &path() const { return path_; }

    // Renames the copy to the destination, unless that exists by now, and
    // makes the rename itself durable.
    void keep() {
        if (renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, destination_.c_str(), RENAME_NOREPLACE) !=
            0) {
            int error = errno;
            // File systems without the no-replace rename: the check before copying stands.
            if (error != EINVAL || rename(path_.c_str(), destination_.c_str()) != 0)
                throw Failure("backup: cannot name the copy " + destination_ + ": " +
                              std::strerror(error));
        }
        kept_ = true;
        int folder = open(folder_of(destination_).c_str(), O_RDONLY | O_DIRECTORY);
        if (folder >= 0) {
            fsync(folder);
            close(folder);
        }
    }

  private:
    std::string destination_;
    std::string path_;
    bool kept_ = false;
};

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

} // namespace

int command_backup(const Invocation &invocation) {
    Arguments arguments("backup", invocation.words, {});
    arguments.expect(1, "one destination file: backup DEST");
    const std::string &destination = arguments.operands[0];
    std::string path = store_path_for(invocation.store);
    std::unique_ptr<kelbrin::Database> store = open_store_to_read(path);
    struct stat info;
    if (lstat(destination.c_str(), &info) == 0)
        throw Failure("backup: " + destination + " exists already; give a new file");
    PartialCopy partial(destination);
    copy_pages(store->handle(), partial.path());
    partial.keep();
    return exitDone;
}

} // namespace kelbrinctl
