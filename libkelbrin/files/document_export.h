// Writing the store, or one group with everything under it, as one document
// in the group-file format with the store's state: each parameter's current
// value beside its declared default, dynamic groups with their template and
// number, and the templates (docs/group-files.md). Written in one ordered
// pass over the store, a chunk at a time, never whole in memory.
#pragma once

#include <functional>
#include <string_view>

#include "store/database.h"
#include "store/items.h"

namespace kelbrin {

// Receives the document a chunk at a time.
using DocumentSink = std::function<void(std::string_view)>;

// Throws std::runtime_error naming the parameter whose tree does not read back.
// changedOnly: only the values that differ from their declared defaults, and
// every dynamic group, with the groups that hold them.
void export_document(Database &db, const Item &group, const DocumentSink &sink,
                     bool changedOnly = false);

} // namespace kelbrin
