// Forcing the store to stable storage.
#pragma once

#include "base/settings.h"

namespace kelbrin {

// Forces every committed change to stable storage.
void sync_store(const Settings &settings);

} // namespace kelbrin
