// check FILE...: group files checked as loading them one after another
// would check them, without a store. Every problem is listed, each with its
// file, line and column, the name it concerns and the cause. An export is
// a group file with state, and is checked too. Two names that the SCRIPT
// and PHP outputs write as one variable are warned of, without failing.
#include "kelbrinctl/checked_files.h"
#include "kelbrinctl/commands.h"
#include "kelbrinctl/messages.h"

namespace kelbrinctl {

namespace {

int check(const Invocation &invocation) {
    return check_files(invocation.operands, kelbrin::Contents::DeclarationsAndState, nullptr,
                       Warnings::SharedVariables) == 0
               ? exitDone
               : exitFailed;
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
