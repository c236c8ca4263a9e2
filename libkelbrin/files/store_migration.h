// A migration of a store to a release, held in the store's temporary tables
// rather than in memory: the release's declarations, combined as loading
// the files in order declares them, and the store's items as they stood.
#pragma once

#include <string>
#include <vector>

#include "files/migration.h"
#include "store/database.h"

namespace kelbrin {

// The release's files read again (they were checked), into temp.release:
// a name declared again takes the later declaration, in the place of the
// first. Throws the first problem's code of a file that has changed since.
class SpooledRelease {
  public:
    SpooledRelease(Database &db, const std::vector<std::string> &files);
    const std::vector<TemplateDeclaration> &templates() const { return templates_; }
    // Each declaration in its place.
    void each(const std::function<void(Declaration &)> &take);

  private:
    Database &db_;
    std::vector<TemplateDeclaration> templates_;
};

// The store's items besides root, in the store's order, copied into
// temp.former so that the store's tables can be laid out anew meanwhile.
class StoredFormerItems : public FormerItems {
  public:
    explicit StoredFormerItems(Database &db);
    std::optional<std::size_t> find(const std::vector<std::string> &names) override;
    FormerItem item(std::size_t index) override;
    void use(std::size_t index) override;
    void use_name(const std::string &name) override;
    void each_unused(const std::function<void(std::size_t, const FormerItem &)> &each) override;

  private:
    Database &db_;
};

} // namespace kelbrin
