// Reading a group file (JSON with comments; docs/group-files.md) into
// declarations, checking everything that can be checked without the store.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/declarations.h"
#include "base/errors.h"

namespace kelbrin {

class DeclaredNames;

// Largest group file read, in bytes.
inline constexpr std::size_t maxGroupFileBytes = 16 << 20;
// Largest export read: a whole store, values included.
inline constexpr std::size_t maxExportBytes = 64 << 20;
// Deepest nesting of brackets and braces in a group file.
inline constexpr int maxGroupFileDepth = 200;
// Problems noted in one file; a file with more says how many were left out.
inline constexpr std::size_t maxProblemsPerFile = 1000;

// One thing wrong with a group file: where, about what, and why.
struct Problem {
    Error code;          // what loading the file returns for it
    TextPosition where;  // {} when not located
    std::string subject; // the group, parameter or template; empty for the file as a whole
    std::string cause;
};

// What a reading accepts: a group file, or also an export's state (each
// parameter's current value, dynamic groups with their template and number).
enum class Contents { Declarations, DeclarationsAndState };

// Receives each group and parameter as the reading meets it, in the order
// of the file.
using DeclarationSink = std::function<void(const Declaration &)>;

// Reads the file in one streaming pass, handing each declaration to each
// and returning the templates (read whole: they are few and small). Notes
// every problem rather than stopping at the first, though a file that is
// not JSON ends at its syntax error, and then only that is noted. With no
// problems list, throws the first problem's code at the end: FILE_UNREADABLE,
// FILE_SYNTAX, FILE_TOO_DEEP or FILE_INVALID. A name is declared twice when
// names (the table of a sequence of files, this file begun) or else the
// reader's own table has it from this file already.
std::vector<TemplateDeclaration> read_group_file(const char *path, std::vector<Problem> *problems,
                                                 Contents contents, const DeclarationSink &each,
                                                 DeclaredNames *names = nullptr);

// A file's declarations, all of them, in the order of the file.
struct GroupFile {
    std::vector<Declaration> declarations;
    std::vector<TemplateDeclaration> templates;
};

// The file read as it streams but kept whole, for what needs every
// declaration at once (a merge, the shared-variable warnings):
// its memory grows with the file.
GroupFile read_whole_group_file(const char *path, std::vector<Problem> *problems, Contents contents);

} // namespace kelbrin
