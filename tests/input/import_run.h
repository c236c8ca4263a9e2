// Running setparams on a parameter file against the recording test double.
#pragma once

#include <string>
#include <vector>

#include "harness.h"

namespace import_run {

// Writes the file and runs "kelbrinclient <options> setparams <file> <after>"
// with the double serving script.
harness::Result setparams(const std::string &file, const std::string &script = "{}",
                          const std::vector<std::string> &options = {},
                          const std::vector<std::string> &after = {});

// A script whose store holds one complex parameter with the tree (JSON).
std::string complex_script(const std::string &name, const std::string &tree);

// The syslog lines of a run that reported the messages at priority 3.
std::vector<std::string> syslog_of(const std::vector<std::string> &errors);

// The standard error of a run that reported the messages.
std::string stderr_of(const std::vector<std::string> &errors);

} // namespace import_run
