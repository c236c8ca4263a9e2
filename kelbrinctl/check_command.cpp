// check FILE...: group files checked as loading them one after another
// would check them, without a store. Every problem is listed, each with its
// file, line and column, the name it concerns and the cause. An export is
// a group file with state, and is checked too.
#include "kelbrinctl/commands.h"
#include "files/group_file_sequence.h"
#include "kelbrinctl/messages.h"

namespace kelbrinctl {

namespace {

int check(const Invocation &invocation) {
    kelbrin::GroupFileSequence sequence;
    bool valid = true;
    for (const std::string &file : invocation.operands) {
        std::vector<kelbrin::Problem> problems;
        // Declarations of a file with problems still count for the files
        // after it, so that one mistake is reported once.
        sequence.check(file, problems);
        valid = valid && problems.empty();
        print_problems(file, std::move(problems));
    }
    return valid ? exitDone : exitFailed;
}

} // namespace

extern const Command checkCommand{
    .name = "check",
    .operands = "FILE...",
    .fewest = 1,
    .most = unlimited,
    .summary = "check group files or exports, taken in order, without a store",
    .run = check,
};

} // namespace kelbrinctl
