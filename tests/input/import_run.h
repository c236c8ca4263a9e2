// Running setparams on a parameter file against the recording test double.
#pragma once

#include "front/program_run.h"

namespace import_run {

using program_run::Lines;

// Writes the file and runs "kelbrinclient <options> setparams <file> <after>"
// with the double serving the script.
inline harness::Result setparams(const std::string &file, const std::string &script = "{}",
                                 const Lines &options = {}, const Lines &after = {}) {
    harness::TempDir directory;
    Lines args = options;
    args.insert(args.end(), {"setparams", directory.file("params.txt")});
    args.insert(args.end(), after.begin(), after.end());
    harness::writeFile(directory.file("params.txt"), file);
    return program_run::run(args, script);
}

// A script whose store holds one complex parameter with the tree (JSON).
inline std::string complex_script(const std::string &name, const std::string &tree) {
    return R"({"params": [{"name": ")" + name + R"(", "tree": )" + tree + "}]}";
}

} // namespace import_run
