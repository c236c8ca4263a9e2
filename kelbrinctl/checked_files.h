// Group files read and checked in order, as loading them one after another
// would check them: the work of check, and the first step of migrate.
#pragma once

#include <string>
#include <vector>

#include "files/group_file.h"

namespace kelbrinctl {

// What is said beside the problems, without counting as one.
enum class Warnings { None, SharedVariables };

// Prints every problem of the files with its place, and the warnings asked
// for; returns how many problems there were. With read, the files'
// declarations are kept there in order.
std::size_t check_files(const std::vector<std::string> &files, kelbrin::Contents contents,
                        std::vector<kelbrin::GroupFile> *read = nullptr, Warnings warnings = Warnings::None);

} // namespace kelbrinctl
