// Format 3: declared defaults kept, and the change log's times, values and size.
#include "store/format_steps.h"

namespace kelbrin {

// default_value: a parameter's declared default while its value differs
// from it, else NULL; the value itself where the default is not known.
// Format 2 kept no defaults, so each value it holds may be the user's: it
// stays one until a load declares the parameter again. The change log
// gains each entry's time, a plain value's first bytes and the log's
// running size in bytes (name plus 16 per entry for the entries already
// there), by which it is trimmed.
void keep_defaults_and_log_details(Database &db) {
    db.execute(R"sql(
ALTER TABLE items ADD COLUMN default_value TEXT;
UPDATE items SET default_value = value WHERE is_group = 0 AND coalesce(map_to, '') = '';
ALTER TABLE changes ADD COLUMN time INTEGER;
ALTER TABLE changes ADD COLUMN value TEXT;
ALTER TABLE changes ADD COLUMN log_end INTEGER;
UPDATE changes SET log_end = running.total FROM (
    SELECT sequence, sum(length(CAST(name AS BLOB)) + 16) OVER (ORDER BY sequence) AS total
    FROM changes) AS running
WHERE changes.sequence = running.sequence;
)sql");
}

} // namespace kelbrin
