// The steps that bring a store file from one version to the next. Each
// changes the tables of the version before it into those of its own, inside
// the transaction that records the new version.
#pragma once

#include "database.h"

namespace kelbrin {

// Version 2's items table and its indexes.
extern const char *const walkLayoutItems;

// 1 -> 2: items keyed by their path (item_paths.h) instead of a row id, so
// that a group's contents are one range of the table.
void lay_items_out_for_walking(Database &db);

// Version 3's index of the groups made from each template.
extern const char *const templateGroupsIndex;

// 2 -> 3: a template's groups found without a walk of their parent's.
void index_template_groups(Database &db);

} // namespace kelbrin
