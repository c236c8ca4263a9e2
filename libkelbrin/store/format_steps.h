// The steps that bring a store file from one version to the next. Each
// changes the tables of the version before it into those of its own, inside
// the transaction that records the new version.
#pragma once

#include "store/database.h"

namespace kelbrin {

// Version 2's items table and its indexes.
extern const char *const walkLayoutItems;

// 1 -> 2: items keyed by their path (base/item_paths.h) instead of a row id, so
// that a group's contents are one range of the table.
void lay_items_out_for_walking(Database &db);

// 2 -> 3: the declared default of a parameter whose value left it, and the
// change log's times, values and size in bytes.
void keep_defaults_and_log_details(Database &db);

// 3 -> 4: an index of each template's groups, so that they are found without
// a walk of their parent's.
void index_template_groups(Database &db);

// 4 -> 5: the file marked as a store (application_id): a store made before
// the mark gets it with its upgrade.
void mark_as_store(Database &db);

// 5 -> 6: the change log's mark of a withheld value, set for the values
// already logged of parameters with a read level.
void withhold_secret_values(Database &db);

// 6 -> 7: each declaration's former names (items.formerly, templates.formerly).
void keep_former_names(Database &db);

} // namespace kelbrin
