#include "files/group_file_sequence.h"

#include <map>

#include "base/names.h"
#include "base/rules.h"

namespace kelbrin {

void GroupFileSequence::begin(const std::string &fileName) {
    files_.push_back(fileName);
    mapped_.clear();
    dynamic_.clear();
}

void GroupFileSequence::add(const Declaration &declaration, std::vector<Problem> &problems) {
    // Loading declares missing ancestors as groups on the way.
    for (std::string_view ancestor = parent_name(declaration.fullName); !ancestor.empty();
         ancestor = parent_name(ancestor))
        enter(std::string(ancestor), Kind::Group, declaration, problems);
    Kind kind = declaration.isGroup             ? Kind::Group
                : declaration.parameter.complex ? Kind::Complex
                                                : Kind::Plain;
    enter(declaration.fullName, kind, declaration, problems);
    names_.at(fold(declaration.fullName)).mapTo = declaration.parameter.mapTo;
    // A bad target's name is the reader's to report.
    if (!declaration.parameter.mapTo.empty() && is_valid_full_name(declaration.parameter.mapTo))
        mapped_.push_back({declaration.fullName, declaration.where, declaration.parameter.mapTo});
    if (declaration.madeFrom)
        dynamic_.push_back({declaration.fullName, declaration.where, declaration.madeFrom->templateName});
}

void GroupFileSequence::finish(const std::vector<TemplateDeclaration> &templates,
                               std::vector<Problem> &problems) {
    // Mappings and parents are checked once the whole file is in, as loading does.
    auto link = [this](const std::string &name) {
        auto found = is_valid_full_name(name) ? names_.find(fold(name)) : names_.end();
        return found == names_.end() ? MappingLink{}
                                     : MappingLink{true, found->second.kind == Kind::Group, found->second.mapTo};
    };
    for (const Pending &mapped : mapped_)
        if (std::optional<std::string> refusal = mapping_refusal(mapped.target, link, "is not declared"))
            problems.push_back({FILE_INVALID, mapped.where, mapped.name, std::move(*refusal)});
    check_dynamic_groups(templates, problems);
    for (const TemplateDeclaration &declared : templates) {
        auto found = names_.find(fold(declared.parent));
        if (found == names_.end() || found->second.kind != Kind::Group)
            problems.push_back({FILE_INVALID, declared.where, "template " + declared.name,
                                "parent " + declared.parent +
                                    (found == names_.end() ? " is not declared"
                                                           : " is " + described(found->second))});
    }
}

// An export's dynamic groups: under their template's parent, and no more
// of them than its maximum, as addgroup would have made them.
void GroupFileSequence::check_dynamic_groups(const std::vector<TemplateDeclaration> &declared,
                                             std::vector<Problem> &problems) const {
    std::map<std::string, const TemplateDeclaration *> templates;
    for (const TemplateDeclaration &t : declared)
        templates.emplace(fold(t.name), &t);
    std::map<std::string, int64_t> made;
    for (const Pending &group : dynamic_) {
        auto found = templates.find(fold(group.target));
        if (found == templates.end()) // the reader reports a template that is not declared
            continue;
        const TemplateDeclaration &t = *found->second;
        std::string parent(parent_name(group.name));
        if (fold(parent) != fold(t.parent))
            problems.push_back({FILE_INVALID, group.where, group.name,
                                "template " + t.name + " makes groups under " + t.parent + ", not " + parent});
        else if (int64_t &count = made[found->first]; !takes_another_group(count++, t.maxCount))
            problems.push_back({FILE_INVALID, group.where, group.name,
                                "one group more than template " + t.name + " allows (at most " +
                                    std::to_string(t.maxCount) + ")"});
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
        names_.try_emplace(fold(name), Known{kind, files_.size() - 1, declaration.where, {}});
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
