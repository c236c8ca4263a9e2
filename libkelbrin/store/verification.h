// Checking a store file: SQLite's integrity check, then the store's own
// rules, for a store changed by hand or by a faulty program.
#pragma once

#include <functional>
#include <string>

#include "base/output_safety.h"
#include "store/database.h"

namespace kelbrin {

struct Finding {
    std::string subject; // the group, parameter or template; "store file" for SQLite's findings
    std::string cause;
};

// Hands each problem found to report: values that break their current
// pattern, complex values and defaults that do not read back, items whose
// place, name or parent group is wrong or missing, dynamic groups whose
// template is gone, mappings to nothing or in a circle, templates whose
// parent is no group or whose parameters are unreadable or declared twice.
void verify_store(Database &db, const std::function<void(const Finding &)> &report);

// Hands each plain parameter's value that the PHP or FORM output would not
// carry safely to warn, with the output and the character, in path order.
void find_values_outputs_cannot_carry(
    Database &db, const std::function<void(const std::string &name, const UnsafeCharacter &)> &warn);

} // namespace kelbrin
