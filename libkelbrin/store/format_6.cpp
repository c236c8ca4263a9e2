// Format 6: the change log withholds the values of parameters with a read level.
#include "store/format_steps.h"

namespace kelbrin {

// Values logged before for such parameters are withheld too (the rule of
// withholds_values in store/change_log.h).
void withhold_secret_values(Database &db) {
    db.execute(R"sql(
ALTER TABLE changes ADD COLUMN withheld INTEGER NOT NULL DEFAULT 0;
UPDATE changes SET value = NULL, withheld = 1
WHERE lower(name) IN (SELECT folded FROM items WHERE is_group = 0 AND read_level <> 0);
)sql");
}

} // namespace kelbrin
