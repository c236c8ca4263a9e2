// Walking the parameters and child groups of a group.
#include "errors.h"
#include "items.h"
#include "store.h"

namespace kelbrin {

namespace {

struct Child {
    int64_t id;
    std::string name;
    bool isGroup;
};

// Declared items in declaration order, then dynamic groups by number.
std::vector<Child> children_of(Database &db, int64_t groupId) {
    Query query(db.statement("SELECT id, name, is_group FROM items WHERE parent_id = ?1 ORDER BY dynamic, number, id"));
    query.bind(1, groupId);
    std::vector<Child> children;
    while (query.step())
        children.push_back(Child{query.integer(0), query.text(1), query.integer(2) != 0});
    return children;
}

bool readable(Database &db, const std::string &name, const Settings &settings) {
    try {
        reach_parameter(db, name.c_str(), settings, Access::Read);
        return true;
    } catch (const StoreError &) {
        return false;
    }
}

void collect_parameters(Database &db, int64_t groupId, const Settings &settings, std::vector<std::string> &names) {
    for (Child &child : children_of(db, groupId)) {
        if (child.isGroup)
            collect_parameters(db, child.id, settings, names);
        else if (readable(db, child.name, settings))
            names.push_back(std::move(child.name));
    }
}

} // namespace

std::vector<std::string> parameters_in_group(const char *group, const Settings &settings) {
    Database &db = database();
    db.begin_reading();
    Item found = find_group(db, group, settings);
    std::vector<std::string> names;
    collect_parameters(db, found.id, settings, names);
    return names;
}

std::vector<std::string> child_groups(const char *group, const Settings &settings) {
    Database &db = database();
    db.begin_reading();
    Item found = find_group(db, group, settings);
    std::vector<std::string> names;
    for (Child &child : children_of(db, found.id))
        if (child.isGroup)
            names.push_back(std::move(child.name));
    return names;
}

} // namespace kelbrin
