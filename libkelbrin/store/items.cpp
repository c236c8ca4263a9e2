#include "store/items.h"

#include "base/errors.h"
#include "base/names.h"
#include "base/rules.h"

namespace kelbrin {

namespace {

bool allowed(const Item &item, const Settings &settings, Access access) {
    return settings.securityLevel >= (access == Access::Read ? item.readLevel : item.writeLevel);
}

} // namespace

std::optional<Item> find_item(Database &db, std::string_view name, const Settings &settings) {
    if (!is_valid_full_name(name))
        throw StoreError{BAD_NAME};
    Query query(db.statement("SELECT path, name, is_group, dynamic, complex, value, access_control, read_level,"
                             " write_level, pattern, map_to, depth FROM items WHERE folded = ?1"));
    query.bind(1, fold(name));
    if (!query.step())
        return std::nullopt;
    Item item;
    item.name = query.text(1);
    if (settings.caseSensitive && item.name != name)
        return std::nullopt;
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

Item find_group(Database &db, const char *name, const Settings &settings) {
    std::optional<Item> group = find_item(db, name, settings);
    if (!group || !group->isGroup)
        throw StoreError{UNKNOWN_GROUP};
    return *group;
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
