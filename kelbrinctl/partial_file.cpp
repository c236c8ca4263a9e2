#include "kelbrinctl/partial_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "kelbrinctl/messages.h"
#include "kelbrinctl/store_access.h"

namespace kelbrinctl {

PartialFile::PartialFile(const char *command, const std::string &destination)
    : command_(command), destination_(destination), path_(destination + ".XXXXXX") {
    int descriptor = mkstemp(path_.data());
    if (descriptor < 0)
        throw Failure(std::string(command) + ": cannot create a file in " + folder_of(destination) +
                      ": " + std::strerror(errno));
    close(descriptor);
}

PartialFile::~PartialFile() {
    if (!kept_)
        unlink(path_.c_str());
}

void PartialFile::keep(bool replace) {
    int renamed = replace ? rename(path_.c_str(), destination_.c_str())
                          : renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, destination_.c_str(),
                                      RENAME_NOREPLACE);
    if (renamed != 0) {
        int error = errno;
        // File systems without the no-replace rename: the caller's check before writing stands.
        if (replace || error != EINVAL || rename(path_.c_str(), destination_.c_str()) != 0)
            throw Failure(std::string(command_) + ": cannot name the file " + destination_ + ": " +
                          std::strerror(error));
    }
    kept_ = true;
    int folder = open(folder_of(destination_).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
}

} // namespace kelbrinctl
