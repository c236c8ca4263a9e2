// Finding and opening the store that a command works on.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "store/database.h"
#include "store/items.h"
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

// What a command's operand must name.
enum class Named { ParameterOrGroup, Group };

// Refuses, in COMMAND's words, a NAME that is not root and components joined by dots.
void require_full_name(const std::string &command, const std::string &name, Named kind);

// The item NAME of the store at PATH; a bad name, a name the store does not
// know, or a parameter where a group is wanted is a Failure in COMMAND's words.
kelbrin::Item named_item(kelbrin::Database &store, const std::string &command, const std::string &name,
                         const std::string &path, Named kind);

// Why the store refused, for a message.
std::string reason_of(const kelbrin::StoreError &error);

} // namespace kelbrinctl
