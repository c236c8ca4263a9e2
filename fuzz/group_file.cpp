// libFuzzer target: the store's group file reader over any file. A file it
// refuses must be refused with one of the reader's own errors, and the same
// reader listing every problem must list that error first; a template it
// accepts must survive the trip through the text kept in the store.
#include <algorithm>
#include <cstdint>

#include "declarations.h"
#include "errors.h"
#include "group_file.h"
#include "group_file_sequence.h"
#include "input_file.h"

using namespace kelbrin;

static bool same_parameter(const ParameterDeclaration &a, const ParameterDeclaration &b) {
    return a.name == b.name && a.complex == b.complex && a.value == b.value &&
           a.accessControl == b.accessControl && a.readLevel == b.readLevel &&
           a.writeLevel == b.writeLevel && a.pattern == b.pattern && a.mapTo == b.mapTo;
}

// The located reading lists the problem that loading stops at, first, and
// places every problem within the file.
static void check_listed(const char *path, const uint8_t *data, size_t size, Error refusal) {
    std::vector<Problem> problems;
    GroupFile listed = read_group_file(path, problems, true);
    if ((refusal == OK) != problems.empty() || (refusal != OK && problems.front().code != refusal))
        __builtin_trap();
    int lines = 1 + static_cast<int>(std::count(data, data + size, '\n'));
    for (const Problem &problem : problems)
        if (problem.where.line < 0 || problem.where.line > lines || problem.cause.empty())
            __builtin_trap();
    GroupFileSequence sequence;
    sequence.add("a", listed, problems);
    sequence.add("b", listed, problems);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const char *path = input_file_path(data, size);
    GroupFile file;
    try {
        file = read_group_file(path);
    } catch (const StoreError &error) {
        if (error.code != FILE_UNREADABLE && error.code != FILE_SYNTAX &&
            error.code != FILE_TOO_DEEP && error.code != FILE_INVALID)
            __builtin_trap();
        check_listed(path, data, size, error.code);
        return 0;
    }
    // Any other exception escapes and is reported as a finding.
    check_listed(path, data, size, OK);
    for (const TemplateDeclaration &declared : file.templates) {
        std::vector<ParameterDeclaration> kept =
            parameters_from_text(parameters_to_text(declared.parameters));
        if (kept.size() != declared.parameters.size())
            __builtin_trap();
        for (size_t i = 0; i < kept.size(); i++)
            if (!same_parameter(kept[i], declared.parameters[i]))
                __builtin_trap();
    }
    return 0;
}
