#include "store/listings.h"

#include "base/errors.h"
#include "base/item_paths.h"
#include "store/items.h"

namespace kelbrin {

namespace {

// A parameter of its own is judged by the row at hand; only a mapping needs
// its chain followed (one more lookup per parameter made a large walk twice
// as slow).
bool readable(Database &db, std::string_view name, int32_t readLevel, bool mapped, const Settings &settings) {
    if (!mapped)
        return settings.securityLevel >= readLevel;
    try {
        reach_parameter(db, std::string(name).c_str(), settings, Access::Read);
        return true;
    } catch (const StoreError &) {
        return false;
    }
}

// Everything under a group is one range of paths, already in listing order.
// A caller with full access may read every parameter of its own, so its
// listing reads no levels: a column less for each row.
constexpr const char *parametersSql = "SELECT name, map_to, complex, value FROM items"
                                      " WHERE path > ?1 AND path < ?2 AND is_group = 0 ORDER BY path";
constexpr const char *parametersWithLevelsSql = "SELECT name, map_to, complex, value, read_level FROM items"
                                                " WHERE path > ?1 AND path < ?2 AND is_group = 0 ORDER BY path";

} // namespace

ListingEntries parameters_in_group(const char *group, const Settings &settings) {
    Database &db = database(IfMissing::Empty);
    db.bound_page_memory();
    db.begin_reading();
    Item found = find_group(db, group, settings);
    bool everyLevel = settings.securityLevel == INT32_MAX;
    Query query(db.statement(everyLevel ? parametersSql : parametersWithLevelsSql));
    query.bind_blob(1, found.path).bind_blob(2, subtree_end(found.path));
    ListingEntries listing;
    while (query.step()) {
        std::string_view name = query.view(0);
        bool mapped = !query.is_empty(1);
        int32_t readLevel = everyLevel ? 0 : static_cast<int32_t>(query.integer(4));
        if (!readable(db, name, readLevel, mapped, settings))
            continue;
        if (mapped)
            listing.add(name, ListedKind::Mapped, {});
        else
            listing.add(name, query.integer(2) != 0 ? ListedKind::Complex : ListedKind::Plain, query.view(3));
    }
    return listing;
}

// A group's child groups are those one level down in its range of paths.
ListingEntries child_groups(const char *group, const Settings &settings) {
    Database &db = database(IfMissing::Empty);
    db.bound_page_memory();
    db.begin_reading();
    Item found = find_group(db, group, settings);
    Query query(db.statement("SELECT name FROM items WHERE is_group = 1 AND depth = ?3 AND path > ?1 AND path < ?2"
                             " ORDER BY path"));
    query.bind_blob(1, found.path).bind_blob(2, subtree_end(found.path)).bind(3, found.depth + 1);
    ListingEntries listing;
    while (query.step())
        listing.add(query.view(0), ListedKind::Group, {});
    return listing;
}

} // namespace kelbrin
