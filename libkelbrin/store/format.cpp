#include "store/format.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "store/database.h"
#include "base/errors.h"
#include "store/format_steps.h"

namespace kelbrin {

namespace {

using UpgradeStep = void (*)(Database &);

// Step i brings a file from version i + 1 to i + 2. A new step goes at the
// end; a step that has shipped never changes, since files of every older
// version must still reach the current one through it.
constexpr UpgradeStep upgradeSteps[] = {
    lay_items_out_for_walking,     // 1 -> 2
    keep_defaults_and_log_details, // 2 -> 3
    index_template_groups,         // 3 -> 4
    mark_as_store,                 // 4 -> 5
    withhold_secret_values,        // 5 -> 6
    keep_former_names,             // 6 -> 7
};
constexpr int64_t oldestVersion = 1;
constexpr int64_t currentVersion = oldestVersion + std::size(upgradeSteps);
// A new file gets this version's tables at once, then the steps after it,
// so that new and upgraded files cannot differ.
constexpr int64_t newFileVersion = 2;

// What a new file gets besides the items: the other tables of newFileVersion.
constexpr const char *otherTables = R"sql(
CREATE TABLE templates(
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL,
    folded TEXT NOT NULL UNIQUE,
    parent TEXT NOT NULL,
    prefix TEXT NOT NULL,
    max_count INTEGER NOT NULL,
    parameters TEXT NOT NULL);
CREATE TABLE changes(
    sequence INTEGER PRIMARY KEY,
    name TEXT NOT NULL);
INSERT INTO items(path, depth, name, folded, is_group) VALUES(x'', 0, 'root', 'root', 1);
)sql";

// Pages of 1 KiB instead of 4: each commit writes its changed pages to the
// log, so a change of one value writes a quarter of the bytes; a small store
// is smaller too. Takes effect only in a new file.
constexpr const char *pageSizePragma = "PRAGMA page_size = 1024";

void record_version(Database &db, int64_t version) {
    db.execute(("PRAGMA user_version = " + std::to_string(version)).c_str());
}

// Version 0 is a new file, or one from before the version was kept, whose
// items are laid out as in version 1.
bool has_items(Database &db) {
    Query query(
        db.statement("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'items'"));
    return query.step();
}

// The tables every format has had: a foreign file is unlikely to hold both.
bool has_store_tables(Database &db) {
    Query query(db.statement(
        "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('items', 'changes')"));
    return query.step() && query.integer(0) == 2;
}

int64_t header_value(Database &db, const char *pragma) {
    Query query(db.statement(pragma));
    return query.step() ? query.integer(0) : 0;
}

void make_tables(Database &db) {
    db.execute(walkLayoutItems);
    db.execute(otherTables);
}

} // namespace

int64_t current_schema_version() {
    return currentVersion;
}

// The version lives in the file's header: reading it parses no SQL and
// takes no write lock, so an open for a read costs only the read.
int64_t stored_schema_version(Database &db) { return header_value(db, "PRAGMA user_version"); }

FileKind file_kind(Database &db) {
    if (header_value(db, "PRAGMA application_id") == storeApplicationId)
        return FileKind::Store;
    if (header_value(db, "PRAGMA page_count") == 0)
        return FileKind::Empty;
    int64_t version = stored_schema_version(db);
    // A newer format's tables count too: the store is then refused as too new.
    return version >= oldestVersion && has_store_tables(db) ? FileKind::Store : FileKind::Foreign;
}

void bring_schema_up_to_date(Database &db) {
    // The snapshot that reads the version is kept for the first read.
    db.begin_reading();
    int64_t version = stored_schema_version(db);
    FileKind kind = file_kind(db);
    if (version == currentVersion && kind == FileKind::Store)
        return;
    db.end_reading();
    if (kind == FileKind::Foreign)
        throw StoreError{NOT_A_STORE};
    if (version == 0) {
        db.execute(pageSizePragma);
        db.execute("PRAGMA journal_mode=WAL");
    }
    for (;;) {
        WriteTransaction transaction(db);
        // Read again under the write lock: another process may have made
        // the tables or taken steps while this one waited for it.
        version = stored_schema_version(db);
        if (version > currentVersion)
            throw StoreError{STORE_TOO_NEW};
        if (version == currentVersion)
            return;
        if (version == 0 && !has_items(db)) {
            // A new file takes its tables and every step after them in one
            // commit: a file left at none of them is only made again.
            make_tables(db);
            for (version = newFileVersion; version < currentVersion; ++version)
                upgradeSteps[version - oldestVersion](db);
        } else {
            version = std::max(version, oldestVersion);
            upgradeSteps[version - oldestVersion](db);
            ++version;
        }
        record_version(db, version);
        transaction.commit();
    }
}

} // namespace kelbrin
