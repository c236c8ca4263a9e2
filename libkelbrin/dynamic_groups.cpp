#include "dynamic_groups.h"

#include <unordered_set>

#include "declarations.h"
#include "errors.h"
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

// The parent's children, read in one pass: a group's name can only be taken
// by a child of its parent, and the limit counts children. One pass keeps
// the cost of a new group from growing with every group made before it.
struct Siblings {
    std::unordered_set<std::string> foldedNames;
    int64_t madeFromTemplate = 0;
};

Siblings siblings_of(Database &db, const Item &parent, const Template &from) {
    Query query(db.statement("SELECT folded, dynamic = 1 AND template_id IS ?2 FROM items WHERE parent_id = ?1"));
    query.bind(1, parent.id).bind(2, from.id);
    Siblings siblings;
    while (query.step()) {
        siblings.foldedNames.insert(query.text(0));
        siblings.madeFromTemplate += query.integer(1);
    }
    return siblings;
}

bool name_taken(const Siblings &siblings, const std::string &fullName) {
    return siblings.foldedNames.count(fold(fullName)) != 0;
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
    if (number >= 0 && name_taken(siblings, group_name(parentGroup, from, number)))
        throw StoreError{GROUP_NUMBER_TAKEN};
    if (siblings.madeFromTemplate >= from.maxCount)
        throw StoreError{GROUP_LIMIT};
    if (number < 0)
        for (number = 0; name_taken(siblings, group_name(parentGroup, from, number));)
            ++number;
    std::string fullName = group_name(parentGroup, from, number);
    if (fullName.size() > maxNameBytes)
        throw StoreError{VALUE_TOO_LONG};

    Query(db.statement("INSERT INTO items(name, folded, parent_id, is_group, dynamic, template_id, number)"
                       " VALUES(?1, ?2, ?3, 1, 1, ?4, ?5)"))
        .bind(1, fullName)
        .bind(2, fold(fullName))
        .bind(3, parentGroup.id)
        .bind(4, from.id)
        .bind(5, number)
        .run();
    int64_t groupId = db.last_insert_id();
    for (const ParameterDeclaration &p : parameters_from_text(from.parameters)) {
        std::string parameterName = fullName + "." + p.name;
        if (parameterName.size() > maxNameBytes)
            throw StoreError{VALUE_TOO_LONG};
        Query insert(db.statement("INSERT INTO items(name, folded, parent_id, is_group, complex, value, access_control,"
                                  " read_level, write_level, pattern) VALUES(?1, ?2, ?3, 0, ?4, ?5, ?6, ?7, ?8, ?9)"));
        insert.bind(1, parameterName).bind(2, fold(parameterName)).bind(3, groupId).bind(4, p.complex).bind(5, p.value);
        if (p.accessControl)
            insert.bind(6, *p.accessControl);
        insert.bind(7, p.readLevel).bind(8, p.writeLevel).bind(9, p.pattern).run();
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
    std::string folded = fold(found.name);
    // Everything whose name starts with "<group>." sorts between "<group>." and "<group>/".
    Query(db.statement("DELETE FROM items WHERE folded = ?1 OR (folded >= ?2 AND folded < ?3)"))
        .bind(1, folded)
        .bind(2, folded + ".")
        .bind(3, folded + "/")
        .run();
    record_change(db, settings, found.name);
    transaction.commit();
}

} // namespace kelbrin
