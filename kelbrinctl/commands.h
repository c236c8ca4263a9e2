// kelbrinctl's commands: each one file, found by name through the table in
// main.cpp.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace kelbrinctl {

struct Invocation {
    std::optional<std::string> store; // --store
    std::vector<std::string> words;   // after the command's name
};

// A command's words split into its options (--name, or one that takes a
// value: "-o FILE", "--since N" or "--since=N") and operands; "--" ends the
// options. An option the command does not take is a usage error.
struct Arguments {
    Arguments(const char *command, const std::vector<std::string> &words,
              std::initializer_list<const char *> options,
              std::initializer_list<const char *> valued = {});
    bool has(const std::string &option) const;
    std::optional<std::string> value(const std::string &option) const;
    // Exactly count operands, or a usage error naming them.
    void expect(std::size_t count, const char *named) const;

    const char *command;
    std::vector<std::string> options;
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::string> operands;
};

// Each returns the exit status.
int command_check(const Invocation &invocation);
int command_show(const Invocation &invocation);
int command_backup(const Invocation &invocation);
int command_export(const Invocation &invocation);
int command_import(const Invocation &invocation);
int command_changes(const Invocation &invocation);
int command_verify(const Invocation &invocation);
int command_reset(const Invocation &invocation);
int command_watch(const Invocation &invocation);

} // namespace kelbrinctl
