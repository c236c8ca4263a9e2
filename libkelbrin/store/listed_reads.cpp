#include "store/listed_reads.h"

#include <cstring>
#include <string>

#include "store/database.h"

namespace kelbrin {

namespace {

struct Remembered {
    const void *listing = nullptr; // none when null
    std::string name;              // as listed: the caller may change the handed-out text
    ListedRead read{};
    Settings settings;
    uint64_t generation = 0;
};

Remembered remembered;

// Whether a read with these settings finds what a read with those found.
bool same_reader(const Settings &a, const Settings &b) {
    return a.securityLevel == b.securityLevel && a.caseSensitive == b.caseSensitive && a.noMapped == b.noMapped;
}

} // namespace

void remember_listed(const void *listing, std::string_view name, const ListedEntry &entry, const Settings &settings,
                     uint64_t generation) {
    if (entry.kind != ListedKind::Plain && entry.kind != ListedKind::Complex) {
        remembered.listing = nullptr;
        return;
    }
    remembered.listing = listing;
    remembered.name.resize(name.size()); // then copied: cheaper than assign, once a row
    std::memcpy(remembered.name.data(), name.data(), name.size());
    remembered.read = ListedRead{entry.kind, entry.value};
    remembered.settings = settings;
    remembered.generation = generation;
}

void forget_listed(const void *listing) {
    if (remembered.listing == listing)
        remembered.listing = nullptr;
}

std::optional<ListedRead> listed_read(const char *name, const Settings &settings) {
    if (!remembered.listing || remembered.generation != store_generation() ||
        !same_reader(remembered.settings, settings) || remembered.name != name)
        return std::nullopt;
    return remembered.read;
}

} // namespace kelbrin
