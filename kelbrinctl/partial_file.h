// A file written under a temporary name beside its destination and renamed
// when complete, so that the destination is never a partial file.
#pragma once

#include <string>

namespace kelbrinctl {

class PartialFile {
  public:
    // Creates the temporary file, readable and writable by its owner only.
    // command names the command in messages.
    PartialFile(const char *command, const std::string &destination);
    ~PartialFile();
    PartialFile(const PartialFile &) = delete;
    PartialFile &operator=(const PartialFile &) = delete;

    const std::string &path() const { return path_; }

    // Renames the file to the destination and makes the rename durable.
    // Without replace, a destination that exists by now is kept and the
    // rename fails.
    void keep(bool replace);

  private:
    const char *command_;
    std::string destination_;
    std::string path_;
    bool kept_ = false;
};

} // namespace kelbrinctl
