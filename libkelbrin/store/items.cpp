#include "store/items.h"

#include "base/errors.h"
#include "base/names.h"
#include "base/rules.h"

namespace kelbrin {

namespace {

bool allowed(const Item &item, const Settings &settings, Access access) {
    return settings.securityLevel >= (access == Access::Read ? item.readLevel : item.writeLevel);
}

// Binds the folded name to a lookup whose second column is the item's name
// and steps it: true when the item is there, in the same case where the
// caller asks for that. Throws BAD_NAME for a name that no item can have.
bool look_up(Query &query, std::string_view name, const Settings &settings) {
    if (!is_valid_full_name(name))
        throw StoreError{BAD_NAME};
    query.bind(1, fold(name));
    return query.step() && !(settings.caseSensitive && query.view(1) != name);
}

} // namespace

std::optional<Item> find_item(Database &db, std::string_view name, const Settings &settings) {
    Query query(db.statement("SELECT path, name, is_group, dynamic, complex, value, access_control, read_level,"
                             " write_level, pattern, map_to, depth FROM items WHERE folded = ?1"));
    if (!look_up(query, name, settings))
        return std::nullopt;
    Item item;
    item.name = query.text(1);
    item.path = query.blob(0);
    item.depth = query.integer(11);
    item.isGroup = query.integer(2) != 0;
    item.dynamic = query.integer(3) != 0;
    item.complex = query.integer(4) != 0;
    item.value = query.text(5);
    if (!query.is_null(6))
        item.accessControl = query.text(6);
    item.readLevel = static_cast<int32_t>(query.integer(7));
    item.writeLevel = static_cast<int32_t>(query.integer(8));
    item.pattern = query.text(9);
    item.mapTo = query.text(10);
    return item;
}

// Reads only what a group has: a walk pays for preparing the statement.
Item find_group(Database &db, const char *name, const Settings &settings) {
    Query query(db.statement("SELECT path, name, depth, dynamic FROM items WHERE folded = ?1 AND is_group = 1"));
    if (!look_up(query, name, settings))
        throw StoreError{UNKNOWN_GROUP};
    Item group;
    group.name = query.text(1);
    group.path = query.blob(0);
    group.depth = query.integer(2);
    group.isGroup = true;
    group.dynamic = query.integer(3) != 0;
    return group;
}

std::optional<std::string> last_path_between(Database &db, std::string_view above,
                                             std::string_view below) {
    Query query(db.statement(
        "SELECT path FROM items WHERE path > ?1 AND path < ?2 ORDER BY path DESC LIMIT 1"));
    query.bind_blob(1, above).bind_blob(2, below);
    if (!query.step())
        return std::nullopt;
    return query.blob(0);
}

Item reach_parameter(Database &db, const char *name, const Settings &settings, Access access) {
    std::optional<Item> item = find_item(db, name, settings);
    for (int hops = 0;; ++hops) {
        if (!item || item->isGroup || (settings.noMapped && !item->mapTo.empty()))
            throw StoreError{UNKNOWN_PARAMETER};
        if (!allowed(*item, settings, access))
            throw StoreError{access == Access::Read ? READ_REFUSED : WRITE_REFUSED};
        if (item->mapTo.empty())
            return *item;
        if (hops == maxMappingHops)
            throw StoreError{MAPPING_LOOP};
        // A target was checked ignoring case when the mapping was declared,
        // so it is followed that way whatever the caller's case setting.
        Settings exact = settings;
        exact.caseSensitive = false;
        item = find_item(db, item->mapTo, exact);
    }
}

std::optional<std::string> stored_mapping_refusal(Database &db, const std::string &mapTo) {
    return mapping_refusal(mapTo, [&db](const std::string &target) {
        std::optional<Item> item = is_valid_full_name(target) ? find_item(db, target, Settings{}) : std::nullopt;
        return item ? MappingLink{true, item->isGroup, item->mapTo} : MappingLink{};
    });
}

} // namespace kelbrin
