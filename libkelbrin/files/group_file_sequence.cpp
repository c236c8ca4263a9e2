#include "files/group_file_sequence.h"

#include <map>

#include "base/names.h"
#include "base/rules.h"

namespace kelbrin {

void GroupFileSequence::begin(const std::string &fileName) {
    files_.push_back(fileName);
    names_.begin_file();
    mapped_.clear();
    dynamic_.clear();
}

std::vector<TemplateDeclaration> GroupFileSequence::read(const std::string &path, Contents contents,
                                                         std::vector<Problem> &problems,
                                                         const DeclarationSink &each) {
    begin(path);
    std::vector<TemplateDeclaration> templates = read_group_file(
        path.c_str(), &problems, contents,
        [&](const Declaration &declaration) {
            add(declaration, problems);
            each(declaration);
        },
        &names_);
    finish(templates, problems);
    return templates;
}

std::vector<TemplateDeclaration> GroupFileSequence::check(const std::string &path,
                                                          std::vector<Problem> &problems,
                                                          const DeclarationSink &accepted) {
    return read(path, Contents::DeclarationsAndState, problems,
                [&](const Declaration &declaration) {
                    if (accepted && problems.empty())
                        accepted(declaration);
                });
}

void GroupFileSequence::add(const Declaration &declaration, std::vector<Problem> &problems) {
    // Folded once: an ancestor's folded name is the start of it.
    std::string folded = fold(declaration.fullName);
    // Loading declares missing ancestors as groups on the way.
    for (std::string_view ancestor = parent_name(declaration.fullName); !ancestor.empty();
         ancestor = parent_name(ancestor))
        enter(ancestor, std::string_view(folded).substr(0, ancestor.size()), Kind::Group, declaration, problems);
    Kind kind = declaration.isGroup             ? Kind::Group
                : declaration.parameter.complex ? Kind::Complex
                                                : Kind::Plain;
    enter(declaration.fullName, folded, kind, declaration, problems);
    if (declaration.parameter.mapTo.empty())
        mapTo_.erase(folded);
    else
        mapTo_[folded] = declaration.parameter.mapTo;
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
        std::string folded = is_valid_full_name(name) ? fold(name) : std::string();
        const Known *found = folded.empty() ? nullptr : names_.met(folded);
        if (!found)
            return MappingLink{};
        auto target = mapTo_.find(folded);
        return MappingLink{true, found->kind() == Kind::Group,
                           target == mapTo_.end() ? "" : target->second};
    };
    for (const Pending &mapped : mapped_)
        if (std::optional<std::string> refusal = mapping_refusal(mapped.target, link, "is not declared"))
            problems.push_back({FILE_INVALID, mapped.where, mapped.name, std::move(*refusal)});
    check_dynamic_groups(templates, problems);
    for (const TemplateDeclaration &declared : templates) {
        const Known *found = names_.met(fold(declared.parent));
        if (!found || found->kind() != Kind::Group)
            problems.push_back({FILE_INVALID, declared.where, "template " + declared.name,
                                "parent " + declared.parent +
                                    (!found ? " is not declared" : " is " + described(*found))});
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

const char *kind_name(DeclaredNames::Kind kind) {
    using Kind = DeclaredNames::Kind;
    return kind == Kind::Group     ? "a group"
           : kind == Kind::Complex ? "a complex parameter"
                                   : "a plain parameter";
}

} // namespace

void GroupFileSequence::enter(std::string_view name, std::string_view folded, Kind kind,
                              const Declaration &declaration, std::vector<Problem> &problems) {
    auto [known, added] =
        names_.meet(folded, kind, static_cast<uint32_t>(files_.size() - 1), declaration.where);
    if (added || known->kind() == kind || !contradicted_.emplace(folded).second)
        return;
    std::string cause = name == declaration.fullName
                            ? std::string("declared here as ") + kind_name(kind) + ", but it is " +
                                  described(*known)
                            : "lies under " + std::string(name) + ", which is " + described(*known);
    problems.push_back({FILE_INVALID, declaration.where, declaration.fullName, std::move(cause)});
}

std::string GroupFileSequence::described(const Known &known) const {
    return kind_name(known.kind()) + (" in " + files_[known.file]) + place_suffix(known.where);
}

} // namespace kelbrin
