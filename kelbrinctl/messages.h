// What kelbrinctl says on standard error, and the failures that end a
// command: each names the file, store or parameter and the cause.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "files/group_file.h"

namespace kelbrinctl {

// Exit statuses.
inline constexpr int exitDone = 0;
inline constexpr int exitFailed = 1; // a problem found, or the command could not be done
inline constexpr int exitUsage = 2;  // the command line is wrong

// Ends a command with a message.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Ends the program with a message and the usage of the command, or a
// pointer to --help.
struct UsageError : Failure {
    using Failure::Failure;
};

// The text with control bytes written as \xHH: names and values come from
// files and stores, and must not drive the terminal.
std::string printable(std::string_view text);

// Writes one printable line to standard error.
void print_line(std::string_view line);

// Writes a file's problems to standard error in the order of the file, each
// as "file:line:column: name: cause".
void print_problems(const std::string &file, std::vector<kelbrin::Problem> problems);

} // namespace kelbrinctl
