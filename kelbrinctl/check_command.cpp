// check FILE...: group files checked as loading them one after another
// would check them, without a store. Every problem is listed, each with its
// file, line and column, the name it concerns and the cause.
#include <algorithm>

#include "commands.h"
#include "group_file.h"
#include "group_file_sequence.h"
#include "messages.h"

namespace kelbrinctl {

namespace {

std::string located(const std::string &file, const kelbrin::Problem &problem) {
    std::string line = file;
    if (problem.where.line > 0)
        line +=
            ":" + std::to_string(problem.where.line) + ":" + std::to_string(problem.where.column);
    line += ": ";
    if (!problem.subject.empty())
        line += problem.subject + ": ";
    return line + problem.cause;
}

} // namespace

int command_check(const Invocation &invocation) {
    Arguments arguments("check", invocation.words, {});
    if (arguments.operands.empty())
        throw UsageError("check takes one or more group files");
    kelbrin::GroupFileSequence sequence;
    bool valid = true;
    for (const std::string &file : arguments.operands) {
        std::vector<kelbrin::Problem> problems;
        // Declarations of a file with problems still count for the files
        // after it, so that one mistake is reported once.
        sequence.add(file, kelbrin::read_group_file(file.c_str(), problems, true), problems);
        std::stable_sort(problems.begin(), problems.end(), [](const auto &a, const auto &b) {
            return std::pair(a.where.line, a.where.column) <
                   std::pair(b.where.line, b.where.column);
        });
        for (const kelbrin::Problem &problem : problems)
            print_line(located(file, problem));
        valid = valid && problems.empty();
    }
    return valid ? exitDone : exitFailed;
}

} // namespace kelbrinctl
