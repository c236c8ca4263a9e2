#include "listings.h"

#include "errors.h"
#include "items.h"

namespace kelbrin {

namespace {

struct Child {
    int64_t id;
    std::string name;
    bool isGroup;
    int32_t readLevel;
    bool mapped;
    bool complex;
    std::string value;
};

// Declared items in declaration order, then dynamic groups by number.
std::vector<Child> children_of(Database &db, int64_t groupId) {
    Query query(db.statement("SELECT id, name, is_group, read_level, map_to IS NOT NULL AND map_to <> '', complex,"
                             " value FROM items WHERE parent_id = ?1 ORDER BY dynamic, number, id"));
    query.bind(1, groupId);
    std::vector<Child> children;
    while (query.step())
        children.push_back(Child{query.integer(0), query.text(1), query.integer(2) != 0,
                                 static_cast<int32_t>(query.integer(3)), query.integer(4) != 0,
                                 query.integer(5) != 0, query.text(6)});
    return children;
}

// A parameter of its own is judged by the row at hand; only a mapping needs
// its chain followed (one more lookup per parameter made a large walk twice
// as slow).
bool readable(Database &db, const Child &child, const Settings &settings) {
    if (!child.mapped)
        return settings.securityLevel >= child.readLevel;
    try {
        reach_parameter(db, child.name.c_str(), settings, Access::Read);
        return true;
    } catch (const StoreError &) {
        return false;
    }
}

void collect_parameters(Database &db, int64_t groupId, const Settings &settings, ListingEntries &listing) {
    for (const Child &child : children_of(db, groupId)) {
        if (child.isGroup) {
            collect_parameters(db, child.id, settings, listing);
        } else if (readable(db, child, settings)) {
            if (child.mapped)
                listing.add(child.name, ListedKind::Mapped, {});
            else
                listing.add(child.name, child.complex ? ListedKind::Complex : ListedKind::Plain, child.value);
        }
    }
}

} // namespace

ListingEntries parameters_in_group(const char *group, const Settings &settings) {
    Database &db = database();
    db.begin_reading();
    Item found = find_group(db, group, settings);
    ListingEntries listing;
    collect_parameters(db, found.id, settings, listing);
    return listing;
}

ListingEntries child_groups(const char *group, const Settings &settings) {
    Database &db = database();
    db.begin_reading();
    Item found = find_group(db, group, settings);
    ListingEntries listing;
    for (const Child &child : children_of(db, found.id))
        if (child.isGroup)
            listing.add(child.name, ListedKind::Group, {});
    return listing;
}

} // namespace kelbrin
