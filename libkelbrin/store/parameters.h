// Reading and writing single parameters and their attributes.
#pragma once

#include <kelbrin.h>

#include <optional>
#include <string>

#include "base/errors.h"
#include "base/rules.h"
#include "base/settings.h"

namespace kelbrin {

// A complex parameter read as plain is refused by return: the program asks
// that of every complex parameter it lists. The value is the listing's own
// text when a listing has just handed the parameter out, else the one read
// into storage; either stays until the next call.
Refusable<std::string_view> get_value(const char *name, const Settings &settings, std::string &storage);
void set_value(const char *name, const char *value, const Settings &settings);
DataNode *get_tree(const char *name, const Settings &settings);
void set_tree(const char *name, const DataNode *tree, const Settings &settings);
// Empty when the parameter has no such attribute.
std::optional<std::string> get_option(const char *name, const char *option, const Settings &settings);

} // namespace kelbrin
