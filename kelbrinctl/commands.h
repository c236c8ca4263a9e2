// kelbrinctl's commands: each file holds one command's entry of the table
// (name, options, operands, summary and function); main.cpp lists them and
// builds --help and the usage of a wrong call from them.
#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelbrinctl {

// An option a command takes: a flag ("--json"), or with the name of its
// value ("-o FILE", given as "-o FILE", "--since N" or "--since=N").
struct Option {
    const char *name;
    const char *value = nullptr;
};

// A command's words after checking them against its entry.
struct Invocation {
    std::optional<std::string> store; // --store
    std::vector<std::string> flags;
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::string> operands;
    std::optional<std::size_t> dashes; // operands before "--", where it was given

    bool has(std::string_view flag) const;
    std::optional<std::string> value(std::string_view option) const; // the last one given
};

inline constexpr std::size_t unlimited = std::numeric_limits<std::size_t>::max();

// One command's entry of the table.
struct Command {
    const char *name;
    std::span<const Option> options = {};
    const char *operands = "";        // as the usage shows them: "NAME", "[GROUP]", "FILE..."
    std::size_t fewest = 0, most = 0; // how many operands it takes
    const char *summary;              // its line of --help
    int (*run)(const Invocation &);   // returns the exit status
};

// The command's usage: its name, options and operands ("show [--json] NAME").
std::string usage_of(const Command &command);

// The words after the command's name, "--" ending its options. An option it
// does not take, a value missing or the wrong number of operands is a usage
// error.
Invocation invocation_of(const Command &command, std::optional<std::string> store,
                         const std::vector<std::string> &words);

extern const Command checkCommand, showCommand, exportCommand, importCommand, changesCommand,
    verifyCommand, backupCommand, resetCommand, watchCommand, migrateCommand;

} // namespace kelbrinctl
