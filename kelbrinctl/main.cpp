// kelbrinctl: checks group files and keeps a parameter store, for the
// people who write the files and keep the stores. Built on the store's C++
// core, so that every failure can say what and where.
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "kelbrinctl/commands.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/store_access.h"

using namespace kelbrinctl;

namespace {

// clang-format off
const Command *const commands[] = {
    &checkCommand, &showCommand, &exportCommand, &importCommand, &changesCommand, &verifyCommand,
    &backupCommand, &resetCommand, &watchCommand, &migrateCommand,
};
// clang-format on

constexpr const char *synopsis = "kelbrinctl [--store PATH] ";

constexpr const char *options = R"(
Options:
  --store PATH   the store's file; by default $KELBRIN_STORE, else
                 $XDG_DATA_HOME/kelbrin/store.db or ~/.local/share/kelbrin/store.db
  --help         show this text
  --version      show the version

Exit status: 0 done, 1 a problem found or the command failed, 2 a wrong
command line. See kelbrinctl(1).
)";

// Usages up to this width have their summary beside them, longer ones below.
constexpr std::size_t usageWidth = 26;

void print_help() {
    std::string text = std::string("Usage: ") + synopsis + "COMMAND [ARGUMENTS]\n" +
                       "Checks group files and keeps a parameter store.\n\nCommands:\n";
    for (const Command *command : commands) {
        std::string usage = usage_of(*command);
        text.append("  ").append(usage);
        if (usage.size() < usageWidth)
            text.append(usageWidth + 1 - usage.size(), ' ');
        else
            text.append("\n").append(usageWidth + 3, ' ');
        text.append(command->summary).append("\n");
    }
    text += options;
    std::fputs(text.c_str(), stdout);
}

const Command &command_named(std::string_view name) {
    for (const Command *command : commands)
        if (name == command->name)
            return *command;
    throw UsageError("unknown command " + std::string(name));
}

int run(int argc, char **argv) {
    std::optional<std::string> store;
    int next = 1;
    for (; next < argc && std::strncmp(argv[next], "--", 2) == 0; ++next) {
        std::string_view option = argv[next];
        if (option == "--help") {
            print_help();
            return exitDone;
        }
        if (option == "--version") {
            std::puts("kelbrinctl " KELBRIN_VERSION);
            return exitDone;
        }
        if (option == "--store" && next + 1 < argc)
            store = argv[++next];
        else if (option.starts_with("--store="))
            store = std::string(option.substr(8));
        else if (option == "--store")
            throw UsageError("--store needs a path");
        else
            throw UsageError("unknown option " + std::string(option));
        if (store->empty())
            throw UsageError("--store needs a path");
    }
    if (next == argc)
        throw UsageError("no command given");
    const Command &command = command_named(argv[next]);
    try {
        return command.run(invocation_of(command, store, {argv + next + 1, argv + argc}));
    } catch (const UsageError &error) {
        // A wrong call of a command is answered with that command's usage.
        print_line(std::string("kelbrinctl: ") + error.what());
        print_line(std::string("Usage: ") + synopsis + usage_of(command));
        return exitUsage;
    } catch (const kelbrin::StoreError &error) {
        // A store error no command caught itself: SQLite's reason, and where.
        throw Failure(std::string(command.name) + ": store " + store_path_for(store) + ": " + reason_of(error));
    }
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
    } catch (const std::bad_alloc &) {
        print_line("kelbrinctl: out of memory");
    } catch (const std::exception &error) {
        print_line(std::string("kelbrinctl: ") + error.what());
    }
    return exitFailed;
}
