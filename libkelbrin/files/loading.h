// Loading a group file into the store.
#pragma once

#include "base/settings.h"

namespace kelbrin {

// Declares what the file declares, all or nothing; parameters that exist
// already keep their values.
void load_group_file(const char *path, const Settings &settings);

} // namespace kelbrin
