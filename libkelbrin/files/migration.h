// Bringing what stood before to follow a set of declarations: a store to a
// new release's group files (migrate), or a document's values to the
// store's own declarations (import --merge). The result is a whole store's
// content, laid out by import_document in the caller's transaction.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/declarations.h"
#include "base/plan_line.h"
#include "files/group_file.h"

namespace kelbrin {

struct FormerItem {
    enum class Kind { Group, Plain, Complex, Mapped };
    std::string name;
    Kind kind = Kind::Group;
    std::string value;
    bool userSet = false; // its value differs from the default it was declared with
    int32_t readLevel = 0;
    std::optional<DynamicOrigin> madeFrom; // a dynamic group
    bool fromDocument = false;             // merge: a value of the document, not the store's
};

// What stood before, by folded name. A merge puts the document's values
// before the store's: a name is looked for in the document first.
class FormerState {
  public:
    void add(FormerItem item);
    const std::vector<FormerItem> &items() const { return items_; }
    // The first unused item under one of the names, document first, or none.
    std::optional<std::size_t> find(const std::vector<std::string> &names) const;
    // The index of the item the names found; the candidate's index in names.
    std::size_t found_under() const { return foundUnder_; }
    void use(std::size_t index);
    // The store's item of that name used too: the document's value stands for it.
    void use_name(const std::string &name);
    bool used(std::size_t index) const { return used_[index]; }

  private:
    std::vector<FormerItem> items_;
    std::vector<bool> used_;
    std::unordered_map<std::string, std::size_t> document_, store_; // by folded name
    mutable std::size_t foundUnder_ = 0;
};

struct Migration {
    GroupFile target;
    std::vector<PlanLine> plan;
};

// Several files as loading them in order declares: a name declared again
// takes the later declaration.
GroupFile combined_release(std::vector<GroupFile> files);

// The content that follows the declarations, and the plan that gets there.
Migration migrate_to(GroupFile release, FormerState &former);

} // namespace kelbrin
