// The store's operations, on the core's own settings. Each throws StoreError;
// each change happens whole or not at all.
#pragma once

#include <optional>
#include <string>

#include "errors.h"
#include "listing_entries.h"
#include "settings.h"
#include "store/kelbrin.h"

namespace kelbrin {

// Longest plain value the store keeps, in bytes.
inline constexpr std::size_t maxValueBytes = 256 * 1024;

void load_group_file(const char *path, const Settings &settings);

// A complex parameter read as plain is refused by return: the program asks
// that of every complex parameter it lists.
Refusable<std::string> get_value(const char *name, const Settings &settings);
void set_value(const char *name, const char *value, const Settings &settings);
DataNode *get_tree(const char *name, const Settings &settings);
void set_tree(const char *name, const DataNode *tree, const Settings &settings);
// Empty when the parameter has no such attribute.
std::optional<std::string> get_option(const char *name, const char *option, const Settings &settings);

// Every readable parameter under the group with its value, depth first, in
// declaration order.
ListingEntries parameters_in_group(const char *group, const Settings &settings);
// The group's direct child groups: declared ones in order, then dynamic ones by number.
ListingEntries child_groups(const char *group, const Settings &settings);

// Returns the new group's last name component.
std::string create_dynamic_group(const char *parent, const char *templateName, const Settings &settings);
void delete_group(const char *group, const Settings &settings);

// Forces every committed change to stable storage.
void sync_store(const Settings &settings);

} // namespace kelbrin
