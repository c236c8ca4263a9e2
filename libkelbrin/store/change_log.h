// The change log: each change's sequence number, time, name and a plain
// value's first bytes, kept in the store for watchers within a byte budget.
// A parameter with a read level (a password) has its values withheld: the
// log shows them to whoever may read the store.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "store/database.h"
#include "base/settings.h"

namespace kelbrin {

// Bytes of a plain value kept with its change.
inline constexpr std::size_t loggedValueBytes = 256;
// The log keeps at least this many bytes of entries, counting each entry as
// its name, its value and entryOverheadBytes; older entries are dropped.
inline constexpr int64_t changeLogBudgetBytes = 1 << 20;
inline constexpr int64_t entryOverheadBytes = 16;

struct Change {
    int64_t sequence = 0;
    std::optional<int64_t> time; // seconds since 1970; none for entries from before format 3
    std::string name;
    std::optional<std::string> value; // a plain parameter's new value, cut at loggedValueBytes
    bool withheld = false;            // the parameter has a read level: no value kept
};

inline bool withholds_values(int32_t readLevel) { return readLevel != 0; }

// Adds the change when the sync mode signals changes. value: a plain
// parameter's new value; null for anything else. readLevel: the parameter's.
void record_change(Database &db, const Settings &settings, const std::string &name,
                   const std::string *value = nullptr, int32_t readLevel = 0);

// The sequence number of the oldest entry kept; none while the log is empty.
std::optional<int64_t> oldest_change(Database &db);

// Hands each entry after the sequence number to each, oldest first.
void read_changes(Database &db, int64_t after, const std::function<void(const Change &)> &each);

} // namespace kelbrin
