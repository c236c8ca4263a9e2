// The core's own view of the caller's options.
#pragma once

#include <cstdint>

namespace kelbrin {

enum class SyncMode : int32_t { NoSync = 9, Default = 10, SignalOnly = 11, SyncNoSignal = 12 };

struct Settings {
    SyncMode syncMode = SyncMode::Default;
    int32_t groupNumber = -1;
    bool caseSensitive = false;
    int32_t securityLevel = INT32_MAX;
    bool noMapped = false;
};

// Signal modes record each change in the change log.
inline bool records_changes(SyncMode mode) {
    return mode == SyncMode::Default || mode == SyncMode::SignalOnly;
}

} // namespace kelbrin
