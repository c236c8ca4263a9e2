#include "files/group_file_sequence.h"

#include "base/names.h"

namespace kelbrin {

void GroupFileSequence::add(const std::string &fileName, const GroupFile &file,
                            std::vector<Problem> &problems) {
    files_.push_back(fileName);
    for (const Declaration &declaration : file.declarations) {
        // Loading declares missing ancestors as groups on the way.
        for (std::string_view ancestor = parent_name(declaration.fullName); !ancestor.empty();
             ancestor = parent_name(ancestor))
            enter(std::string(ancestor), Kind::Group, declaration, problems);
        Kind kind = declaration.isGroup             ? Kind::Group
                    : declaration.parameter.complex ? Kind::Complex
                                                    : Kind::Plain;
        enter(declaration.fullName, kind, declaration, problems);
    }
    // Mappings and parents are checked once the whole file is in, as loading does.
    for (const Declaration &declaration : file.declarations) {
        const std::string &target = declaration.parameter.mapTo;
        if (target.empty() || !is_valid_full_name(target)) // a bad name is the reader's to report
            continue;
        auto found = names_.find(fold(target));
        if (found == names_.end() || found->second.kind == Kind::Group)
            problems.push_back(
                {FILE_INVALID, declaration.where, declaration.fullName,
                 "maps to " + target +
                     (found == names_.end() ? ", which is not declared" : ", which is a group")});
    }
    for (const TemplateDeclaration &declared : file.templates) {
        auto found = names_.find(fold(declared.parent));
        if (found == names_.end() || found->second.kind != Kind::Group)
            problems.push_back({FILE_INVALID, declared.where, "template " + declared.name,
                                "parent " + declared.parent +
                                    (found == names_.end() ? " is not declared"
                                                           : " is " + described(found->second))});
    }
}

namespace {

const char *kind_name(GroupFileSequence::Kind kind) {
    using Kind = GroupFileSequence::Kind;
    return kind == Kind::Group     ? "a group"
           : kind == Kind::Complex ? "a complex parameter"
                                   : "a plain parameter";
}

} // namespace

void GroupFileSequence::enter(const std::string &name, Kind kind, const Declaration &declaration,
                              std::vector<Problem> &problems) {
    auto [known, added] =
        names_.try_emplace(fold(name), Known{kind, files_.size() - 1, declaration.where});
    if (added || known->second.kind == kind || !contradicted_.insert(known->first).second)
        return;
    std::string cause = name == declaration.fullName
                            ? std::string("declared here as ") + kind_name(kind) + ", but it is " +
                                  described(known->second)
                            : "lies under " + name + ", which is " + described(known->second);
    problems.push_back({FILE_INVALID, declaration.where, declaration.fullName, std::move(cause)});
}

std::string GroupFileSequence::described(const Known &known) const {
    return kind_name(known.kind) + (" in " + files_[known.file]) + place_suffix(known.where);
}

} // namespace kelbrin
