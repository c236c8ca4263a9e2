#include "files/migration.h"

#include <algorithm>
#include <map>
#include <unordered_set>

#include "base/names.h"
#include "base/rules.h"
#include "store/change_log.h"

namespace kelbrin {

void FormerState::add(FormerItem item) {
    auto &names = item.fromDocument ? document_ : store_;
    names.emplace(fold(item.name), items_.size());
    items_.push_back(std::move(item));
    used_.push_back(false);
}

std::optional<std::size_t> FormerState::find(const std::vector<std::string> &names) {
    for (const auto *layer : {&document_, &store_})
        for (std::size_t i = 0; i < names.size(); ++i)
            if (auto found = layer->find(fold(names[i])); found != layer->end() && !used_[found->second]) {
                foundUnder_ = i;
                return found->second;
            }
    return std::nullopt;
}

void FormerState::use(std::size_t index) { used_[index] = true; }

void FormerState::use_name(const std::string &name) {
    if (auto found = store_.find(fold(name)); found != store_.end())
        used_[found->second] = true;
}

void FormerState::each_unused(const std::function<void(std::size_t, const FormerItem &)> &each) {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (!used_[i])
            each(i, items_[i]);
}

std::vector<TemplateDeclaration>
combined_templates(std::vector<std::vector<TemplateDeclaration>> files) {
    std::vector<TemplateDeclaration> combined;
    std::unordered_map<std::string, std::size_t> declared;
    for (std::vector<TemplateDeclaration> &file : files)
        for (TemplateDeclaration &t : file) {
            auto [at, added] = declared.emplace(fold(t.name), combined.size());
            if (added)
                combined.push_back(std::move(t));
            else
                combined[at->second] = std::move(t);
        }
    return combined;
}

namespace {

using Kind = FormerItem::Kind;

Kind kind_of(const ParameterDeclaration &p) {
    return !p.mapTo.empty() ? Kind::Mapped : p.complex ? Kind::Complex : Kind::Plain;
}

class Migrator {
  public:
    Migrator(const std::vector<TemplateDeclaration> &templates, FormerItems &former,
             const DeclarationSink &target)
        : templates_(templates), former_(former), target_(target) {
        newGroupName_.emplace("root", "root");
    }

    std::vector<PlanLine> run(const DeclarationSource &release) {
        release([&](Declaration &d) { d.isGroup ? follow_group(d) : follow_parameter(d); });
        follow_dynamic_groups();
        report_removed();
        return std::move(plan_);
    }

  private:
    // The names a declaration may have stood under: its own, its former
    // names, and its name under each former name of its group.
    // A former name given under the group's present name counts under the
    // group's former names too. ownNames: how many of them are the
    // declaration's own, which a rename line reports.
    std::vector<std::string> candidates(const Declaration &d, std::size_t &ownNames) const {
        std::vector<std::string> names{d.fullName};
        names.insert(names.end(), d.formerly.begin(), d.formerly.end());
        std::string_view group = parent_name(d.fullName);
        auto groupFormers = formersOf_.find(fold(group));
        if (groupFormers != formersOf_.end())
            for (const std::string &former : d.formerly)
                if (fold(parent_name(former)) == fold(group))
                    for (const std::string &groupFormer : groupFormers->second)
                        names.push_back(groupFormer + "." + std::string(last_component(former)));
        ownNames = names.size();
        if (groupFormers != formersOf_.end())
            for (const std::string &former : groupFormers->second)
                names.push_back(former + "." + std::string(last_component(d.fullName)));
        return names;
    }

    void line(const char *action, std::string name, std::string from = {},
              std::optional<std::string> before = {}, std::optional<std::string> after = {},
              bool withheld = false) {
        if (withheld)
            before = after = std::nullopt;
        plan_.push_back({action, std::move(name), std::move(from), std::move(before),
                         std::move(after), withheld});
    }

    // The former item under the declaration's names, marked used; a rename
    // of the declaration itself is a line of the plan.
    std::optional<std::size_t> take(const std::vector<std::string> &names, std::size_t ownNames) {
        std::optional<std::size_t> index = former_.find(names);
        if (!index)
            return std::nullopt;
        former_.use(*index);
        former_.use_name(names[0]);
        FormerItem item = former_.item(*index);
        if (former_.found_under() != 0 && former_.found_under() < ownNames)
            line("rename", names[0], item.name);
        return index;
    }

    // Groups that no file declares but that hold a declaration stay.
    void keep_ancestors(std::string_view name) {
        for (std::string_view up = parent_name(name); !up.empty(); up = parent_name(up)) {
            if (!newGroupName_.emplace(fold(up), std::string(up)).second)
                return;
            former_.use_name(std::string(up));
        }
    }

    void follow_group(Declaration &d) {
        keep_ancestors(d.fullName);
        std::size_t ownNames = 0;
        std::vector<std::string> names = candidates(d, ownNames);
        std::optional<FormerItem> item;
        if (std::optional<std::size_t> index = take(names, ownNames))
            item = former_.item(*index);
        if (item && item->kind != Kind::Group) {
            line("remove", item->name);
            item.reset();
        }
        if (item)
            newGroupName_[fold(item->name)] = d.fullName;
        else
            line("add", d.fullName);
        // A dynamic group under any of its former names comes along (merge:
        // a document's under a name the store no longer has).
        for (const std::string &name : names)
            newGroupName_.emplace(fold(name), d.fullName);
        formersOf_[fold(d.fullName)].assign(names.begin() + 1, names.end());
        target_(d);
    }

    void follow_parameter(Declaration &d) {
        keep_ancestors(d.fullName);
        std::size_t ownNames = 0;
        std::vector<std::string> names = candidates(d, ownNames);
        std::optional<std::size_t> index = take(names, ownNames);
        follow_value(d.fullName, d.parameter, index);
        target_(d);
    }

    // The value the declaration takes from what stood before: the new
    // default for a value left at its default or one the declaration no
    // longer accepts, else the user's value.
    void follow_value(const std::string &name, ParameterDeclaration &p, std::optional<std::size_t> index) {
        Kind kind = kind_of(p);
        std::optional<std::string> shownDefault;
        if (kind == Kind::Plain)
            shownDefault = p.value;
        p.current.reset();
        std::optional<FormerItem> former;
        if (index)
            former = former_.item(*index);
        if (former && former->kind != kind) {
            line("remove", former->name);
            if (former->kind == Kind::Group)
                removedGroups_.insert(fold(former->name));
            former.reset();
        }
        if (!former) {
            line("add", name, {}, {}, shownDefault, withholds_values(p.readLevel));
            return;
        }
        const FormerItem &item = *former;
        if (kind == Kind::Mapped)
            return;
        bool withheld = withholds_values(p.readLevel) || withholds_values(item.readLevel);
        std::optional<std::string> before;
        if (kind == Kind::Plain)
            before = item.value;
        if (!item.userSet) {
            if (item.value != p.value)
                line("follow", name, {}, before, shownDefault, withheld);
        } else if (kind == Kind::Plain && plain_value_refusal("value", item.value, p.pattern)) {
            line("reset", name, {}, before, shownDefault, withheld);
        } else if (item.value != p.value) {
            p.current = item.value;
        }
    }

    struct KeptGroup {
        int32_t number;
        std::size_t index;
        std::string parent;
        std::string formerName;
    };

    // Dynamic groups stay with their template and number under the new name
    // of their parent, up to the template's maximum, lowest numbers first.
    void follow_dynamic_groups() {
        std::map<std::size_t, std::vector<KeptGroup>> byTemplate;
        std::unordered_set<std::string> placed;
        std::vector<std::size_t>
            standIns; // the document's group of that name stands for the store's
        former_.each_unused([&](std::size_t i, const FormerItem &item) {
            if (!item.madeFrom)
                return;
            auto parent = newGroupName_.find(fold(parent_name(item.name)));
            std::optional<std::size_t> t = template_for(item.madeFrom->templateName);
            if (parent == newGroupName_.end() || !t ||
                fold(templates_[*t].parent) != fold(parent->second))
                return;
            std::string name = dynamic_name(parent->second, templates_[*t], item.madeFrom->number);
            if (placed.insert(fold(name)).second)
                byTemplate[*t].push_back({item.madeFrom->number, i, parent->second, item.name});
            else
                standIns.push_back(i);
        });
        for (std::size_t i : standIns)
            former_.use(i);
        for (auto &[t, groups] : byTemplate) {
            std::sort(groups.begin(), groups.end(),
                      [](const KeptGroup &a, const KeptGroup &b) { return a.number < b.number; });
            std::size_t keep = std::min<std::size_t>(groups.size(), templates_[t].maxCount);
            for (std::size_t g = 0; g < keep; ++g)
                keep_dynamic_group(templates_[t], groups[g]);
        }
    }

    std::optional<std::size_t> template_for(const std::string &name) const {
        for (std::size_t t = 0; t < templates_.size(); ++t) {
            const TemplateDeclaration &declared = templates_[t];
            if (fold(declared.name) == fold(name) ||
                std::any_of(declared.formerly.begin(), declared.formerly.end(),
                            [&](const std::string &former) { return fold(former) == fold(name); }))
                return t;
        }
        return std::nullopt;
    }

    static std::string dynamic_name(const std::string &parent, const TemplateDeclaration &t, int32_t number) {
        return parent + "." + t.prefix + std::to_string(number);
    }

    void keep_dynamic_group(const TemplateDeclaration &t, const KeptGroup &kept) {
        former_.use(kept.index);
        const std::string &formerName = kept.formerName;
        std::string name = dynamic_name(kept.parent, t, kept.number);
        former_.use_name(name);
        if (fold(last_component(name)) != fold(last_component(formerName)))
            line("rename", name, formerName);
        Declaration declared{name, true, {}, {}, DynamicOrigin{t.name, kept.number}, {}};
        target_(declared);
        for (const ParameterDeclaration &p : t.parameters) {
            Declaration d{name + "." + p.name, false, p, {}, {}, {}};
            std::optional<std::size_t> index = former_.find({d.fullName, formerName + "." + p.name});
            if (index) {
                former_.use(*index);
                former_.use_name(d.fullName);
            }
            follow_value(d.fullName, d.parameter, index);
            target_(d);
        }
    }

    // What no declaration took: one line for a group, none for what lies under it.
    void report_removed() {
        former_.each_unused([&](std::size_t, const FormerItem &item) {
            if (under_removed_group(item.name))
                return;
            line(item.fromDocument ? "skip" : "remove", item.name);
            if (item.kind == Kind::Group)
                removedGroups_.insert(fold(item.name));
        });
    }

    bool under_removed_group(std::string_view name) const {
        for (std::string_view up = parent_name(name); !up.empty(); up = parent_name(up))
            if (removedGroups_.count(fold(up)))
                return true;
        return false;
    }

    const std::vector<TemplateDeclaration> &templates_;
    FormerItems &former_;
    const DeclarationSink &target_;
    std::vector<PlanLine> plan_;
    // By folded new name: the former full names of a declared group.
    std::unordered_map<std::string, std::vector<std::string>> formersOf_;
    // By folded former name: the name a group of the store now has.
    std::unordered_map<std::string, std::string> newGroupName_;
    std::unordered_set<std::string> removedGroups_;
};

} // namespace

Migration migrate_to(GroupFile release, FormerState &former) {
    Migration out;
    out.target.templates = std::move(release.templates);
    DeclarationSink keep = [&](const Declaration &d) { out.target.declarations.push_back(d); };
    out.plan = Migrator(out.target.templates, former, keep)
                   .run([&](const std::function<void(Declaration &)> &each) {
                       for (Declaration &d : release.declarations)
                           each(d);
                   });
    return out;
}

std::vector<PlanLine> migrate_streaming(std::vector<TemplateDeclaration> templates,
                                        const DeclarationSource &release, FormerItems &former,
                                        const DeclarationSink &target) {
    return Migrator(templates, former, target).run(release);
}

} // namespace kelbrin
