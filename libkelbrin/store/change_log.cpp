#include "store/change_log.h"

#include <ctime>

#include "base/errors.h"

namespace kelbrin {

namespace {

// Trimming now and then keeps the log between the budget and the budget
// plus this many entries, at a fraction of the cost.
constexpr int64_t trimInterval = 100;

} // namespace

// log_end is the log's running total of bytes up to each entry, so that the
// entries beyond the budget are a range that one query finds and drops.
// Two plain statements, not one INSERT ... RETURNING: with RETURNING, SQLite
// took memory for each entry and gave it back to the system at once, two
// brk calls a setting once the log trims (setparams of 100,000: 6.1 s, 3.7 s
// without).
void record_change(Database &db, const Settings &settings, const std::string &name,
                   const std::string *value, int32_t readLevel) {
    if (!records_changes(settings.syncMode))
        return;
    bool withheld = withholds_values(readLevel);
    std::optional<std::string_view> kept;
    if (value && !withheld)
        kept = std::string_view(*value).substr(0, loggedValueBytes);
    int64_t bytes =
        entryOverheadBytes + static_cast<int64_t>(name.size() + (kept ? kept->size() : 0));
    int64_t logEnd = bytes;
    if (Query last(db.statement("SELECT log_end FROM changes ORDER BY sequence DESC LIMIT 1")); last.step())
        logEnd += last.integer(0);
    Query insert(db.statement(
        "INSERT INTO changes(name, time, value, log_end, withheld) VALUES(?1, ?2, ?3, ?4, ?5)"));
    insert.bind_borrowed(1, name).bind(2, static_cast<int64_t>(std::time(nullptr))).bind(4, logEnd).bind(5, withheld);
    if (kept)
        insert.bind_borrowed(3, *kept);
    insert.run();
    int64_t sequence = db.last_insert_id();
    if (sequence % trimInterval == 0)
        Query(db.statement("DELETE FROM changes WHERE sequence < (SELECT sequence FROM changes"
                           " WHERE log_end > ?1 ORDER BY sequence LIMIT 1)"))
            .bind(1, logEnd - changeLogBudgetBytes)
            .run();
}

std::optional<int64_t> oldest_change(Database &db) {
    Query query(db.statement("SELECT min(sequence) FROM changes"));
    if (!query.step() || query.is_null(0))
        return std::nullopt;
    return query.integer(0);
}

void read_changes(Database &db, int64_t after, const std::function<void(const Change &)> &each) {
    Query query(db.statement(
        "SELECT sequence, time, name, value, withheld FROM changes WHERE sequence > ?1 ORDER BY sequence"));
    query.bind(1, after);
    while (query.step()) {
        Change change{query.integer(0), std::nullopt, query.text(2), std::nullopt, query.integer(4) != 0};
        if (!query.is_null(1))
            change.time = query.integer(1);
        if (!query.is_null(3))
            change.value = query.text(3);
        each(change);
    }
}

} // namespace kelbrin
