// A factory reset: parameters back to their declared defaults, dynamic
// groups removed, and the change log's old values of both dropped.
#pragma once

#include <string>
#include <vector>

#include "store/database.h"
#include "store/items.h"
#include "base/settings.h"

namespace kelbrin {

struct ResetStep {
    enum class Kind { Reset, Remove } kind;
    std::string path;
    std::string name;
    // Reset steps: the parameter's value and its default, as stored.
    bool complex = false;
    int32_t readLevel = 0;
    std::string value;
    std::string defaultValue;
};

// What resetting each item (a group with everything under it, or a
// parameter) changes, in listing order, each item once: a parameter whose
// value differs from its default, and unless keepGroups each outermost
// dynamic group. A parameter in a group that is removed is not listed.
std::vector<ResetStep> plan_reset(Database &db, const std::vector<Item> &items, bool keepGroups);

// Carries out the plan inside the caller's transaction, and logs each step
// as a change.
void apply_reset(Database &db, const std::vector<ResetStep> &plan, const Settings &settings);

} // namespace kelbrin
