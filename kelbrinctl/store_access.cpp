#include "kelbrinctl/store_access.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "kelbrinctl/messages.h"
#include "base/names.h"
#include "store/format.h"

namespace kelbrinctl {

using kelbrin::Database;
using kelbrin::StoreError;

namespace {

// Why a path cannot be opened, in the OS's words, naming the folder when it is the folder that is
// missing.
[[noreturn]] void fail_to_reach(const std::string &path, int error) {
    std::string folder = folder_of(path);
    struct stat info;
    if (error == ENOENT && stat(folder.c_str(), &info) != 0)
        throw Failure("store " + path + ": folder " + folder + ": " + std::strerror(errno));
    if (error == ENOENT)
        throw Failure("store " + path + " does not exist; this command does not create one");
    throw Failure("store " + path + ": " + std::strerror(error));
}

} // namespace

std::string store_path_for(const std::optional<std::string> &option) {
    if (option)
        return *option;
    try {
        return kelbrin::store_path();
    } catch (const StoreError &) {
        throw Failure(
            "no store: KELBRIN_STORE is not set and there is no home folder; use --store PATH");
    }
}

std::unique_ptr<Database> open_store_to_read(const std::string &path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        fail_to_reach(path, errno);
    if (S_ISDIR(info.st_mode))
        throw Failure("store " + path + " is a folder, not a file");
    if (access(path.c_str(), R_OK) != 0)
        fail_to_reach(path, errno);
    try {
        auto store = std::make_unique<Database>(path, kelbrin::OpenMode::ReadOnly);
        kelbrin::FileKind kind = kelbrin::file_kind(*store);
        if (kind == kelbrin::FileKind::Foreign)
            throw Failure("store " + path + " is not a parameter store but another program's database;"
                          " it was left as it was");
        if (kind == kelbrin::FileKind::Empty)
            throw Failure("store " + path + " is an empty file: a new store that nothing has been loaded into");
        int64_t format = kelbrin::stored_schema_version(*store);
        if (format != kelbrin::current_schema_version())
            throw Failure("store " + path + " has format " + std::to_string(format) +
                          "; this kelbrinctl reads format " +
                          std::to_string(kelbrin::current_schema_version()));
        return store;
    } catch (const StoreError &error) {
        throw Failure("store " + path + ": " + reason_of(error));
    }
}

std::unique_ptr<Database> open_store_to_write(const std::optional<std::string> &option) {
    std::string path = store_path_for(option);
    const char *variable = std::getenv("KELBRIN_STORE");
    bool defaultStore = !option && (!variable || !*variable);
    struct stat info;
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw Failure("store " + path + " is a folder, not a file");
    try {
        if (defaultStore)
            kelbrin::make_parent_directories(path);
        std::string folder = folder_of(path);
        if (stat(folder.c_str(), &info) != 0)
            throw Failure("store " + path + ": folder " + folder + ": " + std::strerror(errno));
        return std::make_unique<Database>(path, kelbrin::OpenMode::Create);
    } catch (const StoreError &error) {
        throw Failure("store " + path + ": " + reason_of(error));
    }
}

std::string folder_of(const std::string &path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string reason_of(const StoreError &error) {
    if (error.reason)
        return error.reason;
    for (const kelbrin::ErrorInfo &info : kelbrin::error_table())
        if (info.code == error.code)
            return info.text;
    return "error " + std::to_string(error.code);
}

void require_full_name(const std::string &command, const std::string &name, Named kind) {
    if (!kelbrin::is_valid_full_name(name))
        throw Failure(command + ": " + name + " is not a " +
                      (kind == Named::Group ? "group" : "parameter or group") +
                      " name (root, then components joined by dots)");
}

kelbrin::Item named_item(Database &store, const std::string &command, const std::string &name,
                         const std::string &path, Named kind) {
    require_full_name(command, name, kind);
    std::optional<kelbrin::Item> item = kelbrin::find_item(store, name, kelbrin::Settings{});
    if (!item)
        throw Failure(command + ": no " + (kind == Named::Group ? "group " : "parameter or group ") +
                      name + " in store " + path);
    if (kind == Named::Group && !item->isGroup)
        throw Failure(command + ": " + item->name + " is a parameter, not a group");
    return *item;
}

} // namespace kelbrinctl
