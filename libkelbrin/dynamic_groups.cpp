#include "dynamic_groups.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "declarations.h"
#include "change_log.h"
#include "errors.h"
#include "item_paths.h"
#include "items.h"
#include "names.h"

namespace kelbrin {

namespace {

struct Template {
    int64_t id;
    std::string name;
    std::string parent;
    std::string prefix;
    int64_t maxCount;
    std::string parameters;
};

Template find_template(Database &db, const char *name, const Settings &settings) {
    Query query(db.statement("SELECT id, name, parent, prefix, max_count, parameters FROM templates WHERE folded = ?1"));
    query.bind(1, fold(name));
    if (!query.step())
        throw StoreError{UNKNOWN_TEMPLATE};
    Template found{query.integer(0), query.text(1), query.text(2), query.text(3), query.integer(4), query.text(5)};
    if (settings.caseSensitive && found.name != name)
        throw StoreError{UNKNOWN_TEMPLATE};
    return found;
}

// The parent's child groups, read in one pass: the limit counts them, and a
// new group's name is mostly taken, if at all, by one of them. One pass keeps
// the cost of a new group from growing with every group made before it.
struct Siblings {
    std::unordered_set<std::string> foldedNames;
    int64_t madeFromTemplate = 0;
    // One past the highest serial among dynamic groups of each number.
    std::unordered_map<uint64_t, uint64_t> nextSerial;
};

Siblings siblings_of(Database &db, const Item &parent, const Template &from) {
    Query query(db.statement("SELECT folded, dynamic = 1 AND template_id IS ?4, path FROM items"
                             " WHERE is_group = 1 AND depth = ?3 AND path > ?1 AND path < ?2"));
    query.bind_blob(1, parent.path).bind_blob(2, subtree_end(parent.path)).bind(3, parent.depth + 1).bind(4, from.id);
    Siblings siblings;
    while (query.step()) {
        siblings.foldedNames.insert(query.text(0));
        siblings.madeFromTemplate += query.integer(1);
        std::string path = query.blob(2);
        std::optional<Step> step = first_step(std::string_view(path).substr(parent.path.size()));
        if (step && step->dynamic) {
            uint64_t &next = siblings.nextSerial[step->position];
            next = std::max(next, step->serial + 1);
        }
    }
    return siblings;
}

// A parameter of the parent may hold the name too.
bool name_taken(Database &db, const Siblings &siblings, const std::string &fullName) {
    std::string folded = fold(fullName);
    if (siblings.foldedNames.count(folded) != 0)
        return true;
    Query query(db.statement("SELECT 1 FROM items WHERE folded = ?1"));
    return query.bind(1, folded).step();
}

std::string group_name(const Item &parent, const Template &from, int64_t number) {
    return parent.name + "." + from.prefix + std::to_string(number);
}

} // namespace

std::string create_dynamic_group(const char *parent, const char *templateName, const Settings &settings) {
    if (settings.groupNumber < -1)
        throw StoreError{BAD_GROUP_NUMBER};
    Database &db = database();
    db.apply_sync_mode(settings.syncMode);
    WriteTransaction transaction(db);
    Item parentGroup = find_group(db, parent, settings);
    Template from = find_template(db, templateName, settings);
    if (fold(from.parent) != fold(parentGroup.name))
        throw StoreError{TEMPLATE_PARENT_MISMATCH};

    Siblings siblings = siblings_of(db, parentGroup, from);
    int64_t number = settings.groupNumber;
    if (number >= 0 && name_taken(db, siblings, group_name(parentGroup, from, number)))
        throw StoreError{GROUP_NUMBER_TAKEN};
    if (siblings.madeFromTemplate >= from.maxCount)
        throw StoreError{GROUP_LIMIT};
    if (number < 0)
        for (number = 0; name_taken(db, siblings, group_name(parentGroup, from, number));)
            ++number;
    std::string fullName = group_name(parentGroup, from, number);
    if (fullName.size() > maxNameBytes)
        throw StoreError{VALUE_TOO_LONG};

    uint64_t serial = siblings.nextSerial[static_cast<uint64_t>(number)];
    std::string groupPath = parentGroup.path + dynamic_step(static_cast<uint64_t>(number), serial);
    Query(db.statement("INSERT INTO items(path, depth, name, folded, is_group, dynamic, template_id)"
                       " VALUES(?1, ?2, ?3, ?4, 1, 1, ?5)"))
        .bind_blob(1, groupPath)
        .bind(2, parentGroup.depth + 1)
        .bind(3, fullName)
        .bind(4, fold(fullName))
        .bind(5, from.id)
        .run();
    uint64_t position = 0;
    for (const ParameterDeclaration &p : parameters_from_text(from.parameters)) {
        std::string parameterName = fullName + "." + p.name;
        if (parameterName.size() > maxNameBytes)
            throw StoreError{VALUE_TOO_LONG};
        Query insert(db.statement("INSERT INTO items(path, depth, name, folded, is_group, complex, value,"
                                  " access_control, read_level, write_level, pattern)"
                                  " VALUES(?1, ?2, ?3, ?4, 0, ?5, ?6, ?7, ?8, ?9, ?10)"));
        insert.bind_blob(1, groupPath + declared_step(position++)).bind(2, parentGroup.depth + 2);
        insert.bind(3, parameterName).bind(4, fold(parameterName)).bind(5, p.complex).bind(6, p.value);
        if (p.accessControl)
            insert.bind(7, *p.accessControl);
        insert.bind(8, p.readLevel).bind(9, p.writeLevel).bind(10, p.pattern).run();
    }
    record_change(db, settings, fullName);
    transaction.commit();
    return std::string(last_component(fullName));
}

void delete_group(const char *group, const Settings &settings) {
    Database &db = database();
    db.apply_sync_mode(settings.syncMode);
    WriteTransaction transaction(db);
    Item found = find_group(db, group, settings);
    if (!found.dynamic)
        throw StoreError{STATIC_GROUP};
    Query(db.statement("DELETE FROM items WHERE path >= ?1 AND path < ?2"))
        .bind_blob(1, found.path)
        .bind_blob(2, subtree_end(found.path))
        .run();
    record_change(db, settings, found.name);
    transaction.commit();
}

} // namespace kelbrin
