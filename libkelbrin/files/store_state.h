// A store read for a migration: what it holds before, and its own
// declarations as a release (for import --merge).
#pragma once

#include "base/declarations.h"
#include "files/migration.h"
#include "store/database.h"

namespace kelbrin {

// Every item but root, in the store's order, and the store's declarations:
// its declared groups and parameters with their defaults and former names,
// and its templates.
struct StoreState {
    FormerState former;
    GroupFile declarations;
};
StoreState read_store_state(Database &db);

// The values a document (an export, whole or of changes only) gives as
// current, and its dynamic groups, before the store's.
void add_document_values(FormerState &former, const GroupFile &document);

} // namespace kelbrin
