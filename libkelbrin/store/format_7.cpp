// Format 7: each declaration's former names, which migrate and import --merge
// follow to its present name.
#include "store/format_steps.h"

namespace kelbrin {

// formerly: a JSON list of names, or NULL for none.
void keep_former_names(Database &db) {
    db.execute(R"sql(
ALTER TABLE items ADD COLUMN formerly TEXT;
ALTER TABLE templates ADD COLUMN formerly TEXT;
)sql");
}

} // namespace kelbrin
