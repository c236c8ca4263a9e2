// kelbrinctl: checks group files and keeps a parameter store, for the
// people who write the files and keep the stores. Built on the store's C++
// core, so that every failure can say what and where.
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string_view>

#include "kelbrinctl/commands.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/store_access.h"

using namespace kelbrinctl;

namespace {

struct Command {
    const char *name;
    int (*run)(const Invocation &);
};

// clang-format off
constexpr Command commands[] = {
    {"check", command_check},
    {"show", command_show},
    {"export", command_export},
    {"import", command_import},
    {"changes", command_changes},
    {"verify", command_verify},
    {"backup", command_backup},
    {"reset", command_reset},
    {"watch", command_watch},
};
// clang-format on

constexpr const char *usage = R"(Usage: kelbrinctl [--store PATH] COMMAND [ARGUMENTS]
Checks group files and keeps a parameter store.

Commands:
  check FILE...              check group files or exports, taken in order, without a store
  show [--json] NAME         a parameter's or group's declaration and state
  export [GROUP] [-o FILE]   the store, or a group, as a group file with its state
  import [--replace] FILE    load an export into an empty store, or in place of its content
  changes [--since N] [--follow] [--json]
                             the change log, after change N; --follow waits for more
  verify [--json]            check the store file and the store's own rules
  backup DEST                copy the store, while it is in use, to the new file DEST
  reset [--dry-run] [--keep-groups] [NAME...]
                             values back to their defaults, dynamic groups removed
  watch [--since N] [--once] [GROUP...] -- COMMAND [ARG...]
                             run COMMAND after changes, the changed names on its input

Options:
  --store PATH   the store's file; by default $KELBRIN_STORE, else
                 $XDG_DATA_HOME/kelbrin/store.db or ~/.local/share/kelbrin/store.db
  --help         show this text
  --version      show the version

Exit status: 0 done, 1 a problem found or the command failed, 2 a wrong
command line. See kelbrinctl(1).
)";

int run(int argc, char **argv) {
    Invocation invocation;
    int next = 1;
    for (; next < argc && std::strncmp(argv[next], "--", 2) == 0; ++next) {
        std::string_view option = argv[next];
        if (option == "--help") {
            std::fputs(usage, stdout);
            return exitDone;
        }
        if (option == "--version") {
            std::puts("kelbrinctl " KELBRIN_VERSION);
            return exitDone;
        }
        if (option == "--store" && next + 1 < argc)
            invocation.store = argv[++next];
        else if (option.starts_with("--store="))
            invocation.store = std::string(option.substr(8));
        else if (option == "--store")
            throw UsageError("--store needs a path");
        else
            throw UsageError("unknown option " + std::string(option));
        if (invocation.store->empty())
            throw UsageError("--store needs a path");
    }
    if (next == argc)
        throw UsageError("no command given");
    std::string_view name = argv[next];
    invocation.words.assign(argv + next + 1, argv + argc);
    for (const Command &command : commands)
        if (name == command.name)
            return command.run(invocation);
    throw UsageError("unknown command " + std::string(name));
}

} // namespace

int main(int argc, char **argv) {
    try {
        return run(argc, argv);
    } catch (const UsageError &error) {
        print_line(std::string("kelbrinctl: ") + error.what());
        print_line("Try 'kelbrinctl --help'.");
        return exitUsage;
    } catch (const Failure &error) {
        print_line(std::string("kelbrinctl: ") + error.what());
    } catch (const kelbrin::StoreError &error) {
        print_line("kelbrinctl: " + reason_of(error));
    } catch (const std::bad_alloc &) {
        print_line("kelbrinctl: out of memory");
    } catch (const std::exception &error) {
        print_line(std::string("kelbrinctl: ") + error.what());
    }
    return exitFailed;
}
