// Bringing what stood before to follow a set of declarations: a store to a
// new release's group files (migrate), or a document's values to the
// store's own declarations (import --merge). The result is a whole store's
// content, handed over declaration by declaration for import_document to
// lay out in the caller's transaction.
#pragma once

#include <functional>
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

// What stood before, each item found by name and marked once a declaration
// takes it.
class FormerItems {
  public:
    virtual ~FormerItems() = default;
    // The first unused item under one of the names, or none.
    virtual std::optional<std::size_t> find(const std::vector<std::string> &names) = 0;
    // The index in names of the candidate that the last find found.
    std::size_t found_under() const { return foundUnder_; }
    virtual FormerItem item(std::size_t index) = 0;
    virtual void use(std::size_t index) = 0;
    // The store's item of that name used too: the document's value stands for it.
    virtual void use_name(const std::string &name) = 0;
    // Each item not used yet, in order; each must not use items.
    virtual void each_unused(const std::function<void(std::size_t, const FormerItem &)> &each) = 0;

  protected:
    std::size_t foundUnder_ = 0;
};

// What stood before held whole, by folded name. A merge puts the document's
// values before the store's: a name is looked for in the document first.
class FormerState : public FormerItems {
  public:
    void add(FormerItem item);
    std::optional<std::size_t> find(const std::vector<std::string> &names) override;
    FormerItem item(std::size_t index) override { return items_[index]; }
    void use(std::size_t index) override;
    void use_name(const std::string &name) override;
    void each_unused(const std::function<void(std::size_t, const FormerItem &)> &each) override;

  private:
    std::vector<FormerItem> items_;
    std::vector<bool> used_;
    std::unordered_map<std::string, std::size_t> document_, store_; // by folded name
};

struct Migration {
    GroupFile target;
    std::vector<PlanLine> plan;
};

// Several files' templates as loading them in order declares: a name
// declared again takes the later declaration.
std::vector<TemplateDeclaration>
combined_templates(std::vector<std::vector<TemplateDeclaration>> files);

// The content that follows the declarations, and the plan that gets there.
Migration migrate_to(GroupFile release, FormerState &former);

// Hands each declaration of a release to each, in order.
using DeclarationSource = std::function<void(const std::function<void(Declaration &)> &each)>;

// The same with the release's declarations handed over one by one and the
// content handed on as it is made, so that neither is held whole; the plan.
std::vector<PlanLine> migrate_streaming(std::vector<TemplateDeclaration> templates,
                                        const DeclarationSource &release, FormerItems &former,
                                        const DeclarationSink &target);

} // namespace kelbrin
