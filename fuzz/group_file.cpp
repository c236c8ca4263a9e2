// The store's group file reader over any file: a file it refuses is refused
// with one of the reader's own errors, and the same reader listing every
// problem lists that error first and places each problem within the file.
#include <algorithm>

#include "base/errors.h"
#include "fuzz.h"
#include "files/group_file.h"
#include "files/group_file_sequence.h"

using namespace kelbrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const char *path = input_file(data, size);
    Error refusal = OK;
    auto ignore = [](const Declaration &) {};
    try {
        read_group_file(path, nullptr, Contents::Declarations, ignore);
    } catch (const StoreError &error) {
        refusal = error.code;
        REQUIRE(refusal <= FILE_UNREADABLE && refusal >= FILE_TOO_DEEP);
    }
    std::vector<Problem> problems;
    std::vector<Declaration> listed;
    std::vector<TemplateDeclaration> templates = read_group_file(
        path, &problems, Contents::Declarations, [&](const Declaration &d) { listed.push_back(d); });
    REQUIRE((refusal == OK) == problems.empty());
    REQUIRE(refusal == OK || problems.front().code == refusal);
    int lines = 1 + static_cast<int>(std::count(data, data + size, '\n'));
    for (const Problem &problem : problems)
        REQUIRE(problem.where.line >= 0 && problem.where.line <= lines && !problem.cause.empty());
    GroupFileSequence sequence;
    for (const char *name : {"a", "b"}) {
        sequence.begin(name);
        for (const Declaration &declaration : listed)
            sequence.add(declaration, problems);
        sequence.finish(templates, problems);
    }
    return 0;
}
