// Putting an export (document_export.h) into a store in place of what it
// held: the groups, parameters and templates it declares, each parameter's
// current value and declared default, dynamic groups with their numbers.
#pragma once

#include <functional>

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

// Inside the caller's write transaction: drops everything but root, then
// lays the export at path out in its order as it reads it again. The file
// was read with its state and checked (GroupFileSequence), which gave its
// templates: this checks nothing again, and a file that has changed since
// throws its first problem's code.
void import_document(Database &db, const char *path, const std::vector<TemplateDeclaration> &templates,
                     const Settings &settings);
// The same for declarations already read and checked, held whole (a migration's).
void import_document(Database &db, const GroupFile &document, const Settings &settings);
// The same for declarations that declarations hands to its sink one by one,
// checked and in order (a migration's, as it makes them).
void import_document(Database &db, const std::vector<TemplateDeclaration> &templates,
                     const Settings &settings,
                     const std::function<void(const DeclarationSink &)> &declarations);

} // namespace kelbrin
