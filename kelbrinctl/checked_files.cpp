#include "kelbrinctl/checked_files.h"

#include "files/group_file_sequence.h"
#include "files/shared_variables.h"
#include "kelbrinctl/messages.h"

namespace kelbrinctl {

namespace {

std::size_t check_in_order(const std::vector<std::string> &files, kelbrin::Contents contents,
                           std::vector<kelbrin::GroupFile> *read, bool locate, Warnings warnings) {
    kelbrin::GroupFileSequence sequence;
    kelbrin::SharedVariables variables;
    std::size_t count = 0;
    for (const std::string &file : files) {
        std::vector<kelbrin::Problem> problems, warned;
        // Declarations of a file with problems still count for the files
        // after it, so that one mistake is reported once.
        kelbrin::GroupFile declared = kelbrin::read_group_file(file.c_str(), problems, locate, contents);
        sequence.add(file, declared, problems);
        count += problems.size();
        if (warnings == Warnings::SharedVariables)
            variables.add(file, declared, warned);
        problems.insert(problems.end(), warned.begin(), warned.end());
        if (locate)
            print_problems(file, std::move(problems));
        if (read)
            read->push_back(std::move(declared));
    }
    return count;
}

} // namespace

std::size_t check_files(const std::vector<std::string> &files, kelbrin::Contents contents,
                        std::vector<kelbrin::GroupFile> *read, Warnings warnings) {
    // Warnings say where, so they need every node located.
    if (warnings != Warnings::None)
        return check_in_order(files, contents, read, true, warnings);
    // Locating every node costs most of a large file's memory and time: only
    // files with problems are read again to say where they are.
    std::size_t count = check_in_order(files, contents, read, false, warnings);
    if (count != 0)
        count = check_in_order(files, contents, nullptr, true, warnings);
    return count;
}

} // namespace kelbrinctl
