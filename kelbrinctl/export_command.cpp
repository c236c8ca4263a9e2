// export [--changed] [GROUP] [-o FILE]: the whole store, or one group with
// everything under it, as one document of the group-file format with the
// store's state, read in one snapshot and written as it is read; with
// --changed only what the user made (values off their defaults, dynamic
// groups). With -o the document is written beside FILE and renamed when
// complete.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "kelbrinctl/commands.h"
#include "files/document_export.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/partial_file.h"
#include "kelbrinctl/store_access.h"

namespace kelbrinctl {

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE *)>;

void write_all(std::FILE *out, std::string_view bytes, const std::string &where) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size())
        throw Failure("export: cannot write " + where + ": " + std::strerror(errno));
}

int export_store(const Invocation &invocation) {
    std::string path = store_path_for(invocation.store);
    std::unique_ptr<kelbrin::Database> store = open_store_to_read(path);
    store->begin_reading();
    kelbrin::Item group = named_item(*store, "export", invocation.operands.empty() ? "root" : invocation.operands[0],
                                     path, Named::Group);
    std::optional<std::string> output = invocation.value("-o");
    bool changed = invocation.has("--changed");
    if (!output) {
        kelbrin::export_document(
            *store, group, [](std::string_view bytes) { write_all(stdout, bytes, "to standard output"); },
            changed);
        if (std::fflush(stdout) != 0)
            throw Failure(std::string("export: cannot write to standard output: ") +
                          std::strerror(errno));
        return exitDone;
    }
    PartialFile partial("export", *output);
    File file(std::fopen(partial.path().c_str(), "wb"), std::fclose);
    if (!file)
        throw Failure("export: cannot write " + partial.path() + ": " + std::strerror(errno));
    kelbrin::export_document(
        *store, group, [&](std::string_view bytes) { write_all(file.get(), bytes, *output); }, changed);
    if (std::fflush(file.get()) != 0 || fsync(fileno(file.get())) != 0)
        throw Failure("export: cannot write " + *output + ": " + std::strerror(errno));
    partial.keep(true);
    return exitDone;
}

constexpr Option options[] = {{"--changed"}, {"-o", "FILE"}};

} // namespace

extern const Command exportCommand{
    .name = "export",
    .options = options,
    .operands = "[GROUP]",
    .most = 1,
    .summary = "the store, or a group, as a group file with its state",
    .run = export_store,
};

} // namespace kelbrinctl
