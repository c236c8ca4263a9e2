// Format 5: the file marked as a store in SQLite's header.
#include "store/format.h"
#include "store/format_steps.h"

namespace kelbrin {

void mark_as_store(Database &db) {
    db.execute(("PRAGMA application_id = " + std::to_string(storeApplicationId)).c_str());
}

} // namespace kelbrin
