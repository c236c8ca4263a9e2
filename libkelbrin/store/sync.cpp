#include "store/sync.h"

#include <fcntl.h>
#include <unistd.h>

#include "store/database.h"
#include "base/errors.h"

namespace kelbrin {

namespace {

void fsync_file(const std::string &path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return; // no such file (no write-ahead log yet): nothing to force
    int result = fsync(fd);
    close(fd);
    if (result != 0)
        throw StoreError{STORE_FAILED};
}

} // namespace

void sync_store(const Settings &) {
    Database &db = database(IfMissing::Empty);
    db.flush_to_disk();
    std::string path = store_path();
    fsync_file(path + "-wal");
    fsync_file(path);
}

} // namespace kelbrin
