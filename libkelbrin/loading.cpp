#include "loading.h"

#include <unordered_map>

#include "errors.h"
#include "group_file.h"
#include "items.h"
#include "names.h"

namespace kelbrin {

namespace {

// Group files are matched ignoring case: a file that says root.network adds
// to root.Network rather than declaring a second group beside it.
const Settings declaredNames{};

[[noreturn]] void invalid() { throw StoreError{FILE_INVALID}; }

// Ids of the groups met so far in one load, by folded name: most
// declarations are parameters of a group just declared.
using GroupIds = std::unordered_map<std::string, int64_t>;

// The id of the group, declared (with any missing ancestors) if it is new.
int64_t ensure_group(Database &db, GroupIds &known, const std::string &name) {
    std::string folded = fold(name);
    if (auto found = known.find(folded); found != known.end())
        return found->second;
    int64_t id;
    if (std::optional<Item> existing = find_item(db, name, declaredNames)) {
        if (!existing->isGroup)
            invalid();
        id = existing->id;
    } else {
        std::string_view parent = parent_name(name);
        if (parent.empty())
            invalid();
        int64_t parentId = ensure_group(db, known, std::string(parent));
        Query(db.statement("INSERT INTO items(name, folded, parent_id, is_group) VALUES(?1, ?2, ?3, 1)"))
            .bind(1, name)
            .bind(2, folded)
            .bind(3, parentId)
            .run();
        id = db.last_insert_id();
    }
    known.emplace(std::move(folded), id);
    return id;
}

void bind_attributes(Query &query, const ParameterDeclaration &p) {
    if (p.accessControl)
        query.bind(2, *p.accessControl);
    query.bind(3, p.readLevel).bind(4, p.writeLevel).bind(5, p.pattern).bind(6, p.mapTo);
}

// A parameter declared again keeps its value and takes the new attributes.
void declare_parameter(Database &db, const Settings &settings, GroupIds &known, const Declaration &declaration) {
    const ParameterDeclaration &p = declaration.parameter;
    int64_t groupId = ensure_group(db, known, std::string(parent_name(declaration.fullName)));
    if (std::optional<Item> existing = find_item(db, declaration.fullName, declaredNames)) {
        if (existing->isGroup || existing->complex != p.complex)
            invalid();
        Query update(db.statement("UPDATE items SET access_control = ?2, read_level = ?3, write_level = ?4,"
                                  " pattern = ?5, map_to = ?6 WHERE id = ?1"));
        update.bind(1, existing->id);
        bind_attributes(update, p);
        update.run();
        return;
    }
    Query insert(db.statement("INSERT INTO items(parent_id, access_control, read_level, write_level, pattern, map_to,"
                              " name, folded, is_group, complex, value) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, 0, ?9, ?10)"));
    insert.bind(1, groupId);
    bind_attributes(insert, p);
    insert.bind(7, declaration.fullName).bind(8, fold(declaration.fullName)).bind(9, p.complex).bind(10, p.value).run();
    record_change(db, settings, declaration.fullName);
}

void check_mapping(Database &db, const ParameterDeclaration &p) {
    if (p.mapTo.empty())
        return;
    std::optional<Item> target = find_item(db, p.mapTo, declaredNames);
    if (!target || target->isGroup)
        invalid();
}

void declare_template(Database &db, const TemplateDeclaration &t) {
    std::optional<Item> parent = find_item(db, t.parent, declaredNames);
    if (!parent || !parent->isGroup)
        invalid();
    Query(db.statement("INSERT INTO templates(name, folded, parent, prefix, max_count, parameters)"
                       " VALUES(?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT(folded) DO UPDATE SET name = excluded.name,"
                       " parent = excluded.parent, prefix = excluded.prefix, max_count = excluded.max_count,"
                       " parameters = excluded.parameters"))
        .bind(1, t.name)
        .bind(2, fold(t.name))
        .bind(3, parent->name)
        .bind(4, t.prefix)
        .bind(5, t.maxCount)
        .bind(6, parameters_to_text(t.parameters))
        .run();
}

} // namespace

void load_group_file(const char *path, const Settings &settings) {
    GroupFile file = read_group_file(path);
    Database &db = database();
    db.apply_sync_mode(settings.syncMode);
    WriteTransaction transaction(db);
    GroupIds known;
    for (const Declaration &declaration : file.declarations) {
        if (declaration.isGroup)
            ensure_group(db, known, declaration.fullName);
        else
            declare_parameter(db, settings, known, declaration);
    }
    for (const Declaration &declaration : file.declarations)
        check_mapping(db, declaration.parameter);
    for (const TemplateDeclaration &t : file.templates)
        declare_template(db, t);
    transaction.commit();
}

} // namespace kelbrin
