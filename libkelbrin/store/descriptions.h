// What the store keeps about one group or parameter, for people who keep
// stores: its declaration, its state and the template it came from.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/errors.h"
#include "store/items.h"

namespace kelbrin {

// A template that makes groups under a group, and how many it has made there.
struct TemplateCount {
    std::string name;
    std::string prefix;
    int64_t maxCount = 0;
    int64_t count = 0;
};

struct Description {
    Item item;
    // A mapped parameter: the parameter its mappings reach, or why none.
    Refusable<Item> target;
    // A dynamic group, or a parameter of one: the template and the group's number.
    std::optional<std::string> templateName;
    int64_t number = 0;
    // A parameter that is not mapped: the default it was declared with (for
    // a parameter of a dynamic group, its template's when it was made).
    std::optional<std::string> declaredDefault;
    // A group: its own parameters and groups, and the templates for groups under it.
    int64_t parameterCount = 0;
    int64_t groupCount = 0;
    std::vector<TemplateCount> templates;
};

// Matched ignoring case, with full access. Throws UNKNOWN_PARAMETER when no
// group or parameter has the name, BAD_NAME when none can.
Description describe(Database &db, const std::string &name);

} // namespace kelbrin
