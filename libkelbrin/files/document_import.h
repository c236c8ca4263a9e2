// Putting an export (document_export.h) into a store in place of what it
// held: the groups, parameters and templates it declares, each parameter's
// current value and declared default, dynamic groups with their numbers.
#pragma once

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
// lays the document out in its order. The document was read with its state
// and checked as a whole (GroupFileSequence): this checks nothing again.
void import_document(Database &db, const GroupFile &document, const Settings &settings);

} // namespace kelbrin
