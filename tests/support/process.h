// Runs a child process with its three standard streams on pipes.
#pragma once

#include <string>
#include <vector>

namespace harness {

struct ProcessOutcome {
    std::string out;
    std::string err;
    int status = -1; // exit status, or 128 + signal number
};

// Starts path with argv (argv[0] included) and the environment given as
// "NAME=value" entries, in cwd unless empty; feeds input and collects both
// outputs through poll so that no pipe fills up; kills the child with
// SIGKILL once timeoutSeconds have passed.
ProcessOutcome run_process(const std::string &path, const std::vector<std::string> &argv,
                           const std::vector<std::string> &environment, const std::string &cwd,
                           const std::string &input, int timeoutSeconds);

// The test's own environment as "NAME=value" entries.
std::vector<std::string> inherited_environment();

} // namespace harness
