// Reading a group file (JSON with comments; docs/group-files.md) into
// declarations, checking everything that can be checked without the store.
#pragma once

#include <string>

#include "declarations.h"

namespace kelbrin {

// Largest group file read, in bytes.
inline constexpr std::size_t maxGroupFileBytes = 16 << 20;
// Deepest nesting of brackets and braces in a group file.
inline constexpr int maxGroupFileDepth = 200;

// Throws FILE_UNREADABLE, FILE_SYNTAX, FILE_TOO_DEEP or FILE_INVALID.
GroupFile read_group_file(const char *path);

} // namespace kelbrin
