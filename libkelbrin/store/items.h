// Looking up groups and parameters by name under the caller's settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "store/database.h"
#include "base/settings.h"

namespace kelbrin {

struct Item {
    std::string path; // base/item_paths.h
    int64_t depth = 0;
    std::string name;
    bool isGroup = false;
    bool dynamic = false;
    bool complex = false;
    std::string value;
    std::optional<std::string> accessControl;
    int32_t readLevel = 0;
    int32_t writeLevel = 0;
    std::string pattern;
    std::string mapTo;
};

// The item of that name, matched ignoring case unless caseSensitive is set.
// Throws BAD_NAME for a name that no item can have.
std::optional<Item> find_item(Database &db, std::string_view name, const Settings &settings);

Item find_group(Database &db, const char *name, const Settings &settings);

// The last path (in key order) strictly between the two, if any.
std::optional<std::string> last_path_between(Database &db, std::string_view above,
                                             std::string_view below);

enum class Access { Read, Write };

// The parameter that a read or write of name reaches: itself, or the end of
// its chain of mappings. Checks the caller's level at every step.
Item reach_parameter(Database &db, const char *name, const Settings &settings, Access access);

// Why a mapping to mapTo would not reach a parameter of the store
// (base/rules.h); nullopt when it would.
std::optional<std::string> stored_mapping_refusal(Database &db, const std::string &mapTo);

} // namespace kelbrin
