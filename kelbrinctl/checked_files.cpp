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
        sequence.begin(file);
        std::vector<kelbrin::TemplateDeclaration> templates = kelbrin::read_group_file(
            file.c_str(), &problems, contents, [&](const kelbrin::Declaration &declaration) {
                sequence.add(declaration, problems);
                if (warnings == Warnings::SharedVariables)
                    variables.add(file, declaration, warned);
                if (read)
                    read->back().declarations.push_back(declaration);
            });
        sequence.finish(templates, problems);
        count += problems.size();
        problems.insert(problems.end(), warned.begin(), warned.end());
        print_problems(file, std::move(problems));
        if (read)
            read->back().templates = std::move(templates);
    }
    return count;
}

} // namespace kelbrinctl
