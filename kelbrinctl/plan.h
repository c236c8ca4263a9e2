// Plans of changes to a store as kelbrinctl prints them and logs them.
#pragma once

#include <vector>

#include "base/plan_line.h"
#include "files/migration.h"
#include "store/database.h"

namespace kelbrinctl {

// One line an item on standard output: "follow root.A.B "old" "new"",
// "rename root.Old root.New", "remove root.C", a read-protected value as
// "withheld"; with json one object a line.
void print_plan(const std::vector<kelbrin::PlanLine> &plan, bool json);

// Each line's change in the store's change log, inside the caller's transaction.
void log_plan(kelbrin::Database &db, const std::vector<kelbrin::PlanLine> &plan);

// The migration's content in place of the store's, with its former names,
// and its plan logged, inside the caller's transaction.
void apply_migration(kelbrin::Database &db, const kelbrin::Migration &migration);

} // namespace kelbrinctl
