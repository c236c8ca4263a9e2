// Finding and opening the store that a command works on.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "store/database.h"
#include "base/errors.h"

namespace kelbrinctl {

// --store when given, else the file that libkelbrin.so would use.
std::string store_path_for(const std::optional<std::string> &option);

// Opens an existing store as it is: never creates or changes one. Anything
// in the way (no such file, a missing folder, a file that is not a store)
// is a Failure that names the path and the cause.
std::unique_ptr<kelbrin::Database> open_store_to_read(const std::string &path);

// Opens the store to change it, creating it (and, for the default store,
// its folders) when missing, as libkelbrin.so does; a store of an older
// format is upgraded. A Failure names the path and the cause.
std::unique_ptr<kelbrin::Database> open_store_to_write(const std::optional<std::string> &option);

// The folder a path names a file in: "." for a bare name.
std::string folder_of(const std::string &path);

// Why the store refused, for a message.
std::string reason_of(const kelbrin::StoreError &error);

} // namespace kelbrinctl
