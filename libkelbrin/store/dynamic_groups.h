// Creating groups from templates, and deleting them.
#pragma once

#include <string>

#include "base/settings.h"

namespace kelbrin {

// Returns the new group's last name component.
std::string create_dynamic_group(const char *parent, const char *templateName, const Settings &settings);
void delete_group(const char *group, const Settings &settings);

} // namespace kelbrin
