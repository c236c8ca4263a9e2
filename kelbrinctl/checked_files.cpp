#include "kelbrinctl/checked_files.h"

#include "files/group_file_sequence.h"
#include "files/shared_variables.h"
#include "kelbrinctl/messages.h"

namespace kelbrinctl {

std::size_t check_files(const std::vector<std::string> &files, kelbrin::Contents contents,
                        std::vector<kelbrin::GroupFile> *read, Warnings warnings) {
    kelbrin::GroupFileSequence sequence;
    kelbrin::SharedVariables variables;
    std::size_t count = 0;
    for (const std::string &file : files) {
        std::vector<kelbrin::Problem> problems, warned;
        // Declarations of a file with problems still count for the files
        // after it, so that one mistake is reported once.
        // The file streams; only a caller that asks keeps its declarations.
        if (read)
            read->emplace_back();
        std::vector<kelbrin::TemplateDeclaration> templates =
            sequence.read(file, contents, problems, [&](const kelbrin::Declaration &declaration) {
                if (warnings == Warnings::SharedVariables)
                    variables.add(file, declaration, warned);
                if (read)
                    read->back().declarations.push_back(declaration);
            });
        count += problems.size();
        problems.insert(problems.end(), warned.begin(), warned.end());
        print_problems(file, std::move(problems));
        if (read)
            read->back().templates = std::move(templates);
    }
    return count;
}

} // namespace kelbrinctl
