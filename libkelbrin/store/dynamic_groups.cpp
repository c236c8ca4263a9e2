#include "store/dynamic_groups.h"

#include <charconv>
#include <unordered_set>

#include "base/declarations.h"
#include "store/change_log.h"
#include "base/errors.h"
#include "base/item_paths.h"
#include "store/items.h"
#include "base/names.h"

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

// How many groups of the template stand under the parent, counted in the
// template index: the cost grows with the template's groups, never with
// the store.
int64_t instances_under(Database &db, const Item &parent, const Template &from) {
    Query query(db.statement(
        "SELECT count(*) FROM items WHERE template_id = ?1 AND path > ?2 AND path < ?3"));
    query.bind(1, from.id).bind_blob(2, parent.path).bind_blob(3, subtree_end(parent.path));
    return query.step() ? query.integer(0) : 0;
}

std::string group_name(const Item &parent, const Template &from, int64_t number) {
    return parent.name + "." + from.prefix + std::to_string(number);
}

bool name_taken(Database &db, const std::string &fullName) {
    Query query(db.statement("SELECT 1 FROM items WHERE folded = ?1"));
    return query.bind(1, fold(fullName)).step();
}

// The numbers whose names are taken, by any item, read from the names
// index: every name the prefix and a digit begin, descendants included.
int64_t lowest_free_number(Database &db, const Item &parent, const Template &from) {
    std::string base = fold(parent.name + "." + from.prefix);
    Query query(db.statement("SELECT folded FROM items WHERE folded >= ?1 AND folded < ?2"));
    query.bind(1, base + "0").bind(2, base + ":");
    std::unordered_set<int64_t> taken;
    while (query.step()) {
        std::string_view digits = query.view(0).substr(base.size());
        int64_t number = 0;
        // Only the number's own spelling: B01 or B1x does not hold number 1.
        auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (parsed.ec == std::errc() && std::to_string(number) == digits)
            taken.insert(number);
    }
    int64_t number = 0;
    while (taken.count(number) != 0)
        ++number;
    return number;
}

// Groups of one number stand in the order they were made: the new one goes
// one serial past the last of them.
uint64_t next_serial(Database &db, const Item &parent, uint64_t number) {
    std::string numberPath = parent.path + dynamic_number_step(number);
    std::optional<std::string> last = last_path_between(db, numberPath, subtree_end(numberPath));
    if (!last)
        return 0;
    std::optional<Step> step = first_step(std::string_view(*last).substr(parent.path.size()));
    if (!step || !step->dynamic || step->position != number)
        throw StoreError{STORE_FAILED};
    return step->serial + 1;
}

// A template's parameters as last read: a run of groups from one template
// parses its declarations once.
const std::vector<ParameterDeclaration> &parameters_of(const Template &from) {
    static std::optional<std::string> text;
    static std::vector<ParameterDeclaration> parameters;
    if (from.parameters != text) {
        std::vector<ParameterDeclaration> parsed = parameters_from_text(from.parameters);
        std::string parsedText = from.parameters;
        parameters = std::move(parsed);
        text = std::move(parsedText);
    }
    return parameters;
}

} // namespace

std::string create_dynamic_group(const char *parent, const char *templateName, const Settings &settings) {
    if (settings.groupNumber < -1)
        throw StoreError{BAD_GROUP_NUMBER};
    Database &db = database(IfMissing::Empty);
    db.apply_sync_mode(settings.syncMode);
    WriteTransaction transaction(db);
    Item parentGroup = find_group(db, parent, settings);
    Template from = find_template(db, templateName, settings);
    if (fold(from.parent) != fold(parentGroup.name))
        throw StoreError{TEMPLATE_PARENT_MISMATCH};

    int64_t number = settings.groupNumber;
    if (number >= 0 && name_taken(db, group_name(parentGroup, from, number)))
        throw StoreError{GROUP_NUMBER_TAKEN};
    if (instances_under(db, parentGroup, from) >= from.maxCount)
        throw StoreError{GROUP_LIMIT};
    if (number < 0)
        number = lowest_free_number(db, parentGroup, from);
    std::string fullName = group_name(parentGroup, from, number);
    if (fullName.size() > maxNameBytes)
        throw StoreError{VALUE_TOO_LONG};

    uint64_t serial = next_serial(db, parentGroup, static_cast<uint64_t>(number));
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
    for (const ParameterDeclaration &p : parameters_of(from)) {
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
    Database &db = database(IfMissing::Empty);
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
