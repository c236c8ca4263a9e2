// Putting an export (document_export.h) into a store in place of what it
// held: the groups, parameters and templates it declares, each parameter's
// current value and declared default, dynamic groups with their numbers.
#pragma once

#include <functional>
#include <memory>

#include "store/database.h"
#include "files/group_file.h"
#include "base/settings.h"

namespace kelbrin {

// Groups and parameters besides root, and templates.
struct StoreContent {
    int64_t items = 0;
    int64_t templates = 0;
};
StoreContent store_content(Database &db);

class Layout;

// Inside the caller's write transaction: drops everything but root, then
// lays out each declaration handed to add in its order (groups and
// parameters of an export as its reading hands them over), and at finish
// the templates. What it is given was checked (GroupFileSequence): this
// checks nothing again.
class DocumentImport {
  public:
    DocumentImport(Database &db, const Settings &settings);
    ~DocumentImport();
    void add(const Declaration &declaration);
    void finish(const std::vector<TemplateDeclaration> &templates);

  private:
    Database &db_;
    Settings settings_;
    std::unique_ptr<Layout> layout_;
    std::vector<std::string> topGroups_; // each logged as changed at the end
};

// The same for declarations already read and checked, held whole (a migration's).
void import_document(Database &db, const GroupFile &document, const Settings &settings);
// The same for declarations that declarations hands to its sink one by one,
// checked and in order (a migration's, as it makes them).
void import_document(Database &db, const std::vector<TemplateDeclaration> &templates,
                     const Settings &settings,
                     const std::function<void(const DeclarationSink &)> &declarations);

} // namespace kelbrin
