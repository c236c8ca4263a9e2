// One line of a plan of changes to a store (migrate, import --merge, a
// reset): an item whose value, name or existence changes.
#pragma once

#include <optional>
#include <string>

namespace kelbrin {

struct PlanLine {
    const char *action; // follow, reset, remove, rename, add; skip: a document's name not declared
    std::string name;
    std::string from;                         // rename: the former name
    std::optional<std::string> before, after; // a plain value's, where it has one
    bool withheld = false;                    // read-protected: no value shown
};

} // namespace kelbrin
