// The parameter a listing handed out last, with its value as listed. The
// program reads each listed parameter right after its listing hands it out;
// that read is then answered from here instead of a query of its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "store/listing_entries.h"
#include "base/settings.h"

namespace kelbrin {

// Remembers the entry a listing taken under these settings, at this store
// generation, has just handed out under this full name. The entry's value
// stays the listing's: the listing calls forget_listed before it goes.
void remember_listed(const void *listing, std::string_view name, const ListedEntry &entry, const Settings &settings,
                     uint64_t generation);
void forget_listed(const void *listing);

struct ListedRead {
    ListedKind kind; // Plain or Complex
    std::string_view value;
};

// The remembered entry of exactly this name, when it is still what a read
// would find: the same reader, and no write by this process since the
// listing started. Mapped parameters are never remembered: their reads
// follow the mapping.
std::optional<ListedRead> listed_read(const char *name, const Settings &settings);

} // namespace kelbrin
