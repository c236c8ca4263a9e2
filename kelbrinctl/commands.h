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

// A command's words split into its options (--name) and operands; "--"
// ends the options. An option the command does not take is a usage error.
struct Arguments {
    Arguments(const char *command, const std::vector<std::string> &words,
              std::initializer_list<const char *> options);
    bool has(const std::string &option) const;
    // Exactly count operands, or a usage error naming them.
    void expect(std::size_t count, const char *named) const;

    const char *command;
    std::vector<std::string> options;
    std::vector<std::string> operands;
};

// Each returns the exit status.
int command_check(const Invocation &invocation);
int command_show(const Invocation &invocation);
int command_backup(const Invocation &invocation);

} // namespace kelbrinctl
