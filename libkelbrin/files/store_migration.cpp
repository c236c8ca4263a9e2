#include "files/store_migration.h"

#include "base/item_paths.h"
#include "base/names.h"
#include "files/former_names.h"

namespace kelbrin {

SpooledRelease::SpooledRelease(Database &db, const std::vector<std::string> &files) : db_(db) {
    db.execute(R"sql(
DROP TABLE IF EXISTS temp.release;
CREATE TEMP TABLE release(
    position INTEGER PRIMARY KEY, folded TEXT NOT NULL UNIQUE, name TEXT NOT NULL, is_group INTEGER NOT NULL,
    complex INTEGER, value TEXT, access_control TEXT, read_level INTEGER, write_level INTEGER,
    pattern TEXT, map_to TEXT, formerly TEXT NOT NULL);
)sql");
    std::vector<std::vector<TemplateDeclaration>> templates;
    for (const std::string &file : files) {
        templates.push_back(read_group_file(
            file.c_str(), nullptr, Contents::Declarations, [&](const Declaration &d) {
                const ParameterDeclaration &p = d.parameter;
                Query insert(db.statement(
                    "INSERT INTO temp.release(folded, name, is_group, complex, value, access_control,"
                    " read_level, write_level, pattern, map_to, formerly)"
                    " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)"
                    " ON CONFLICT(folded) DO UPDATE SET name = excluded.name, complex = excluded.complex,"
                    " value = excluded.value, access_control = excluded.access_control,"
                    " read_level = excluded.read_level, write_level = excluded.write_level,"
                    " pattern = excluded.pattern, map_to = excluded.map_to, formerly = excluded.formerly"
                    " WHERE NOT excluded.is_group"));
                insert.bind(1, fold(d.fullName)).bind(2, d.fullName).bind(3, d.isGroup);
                if (!d.isGroup) {
                    insert.bind(4, p.complex).bind(5, p.value).bind(7, p.readLevel).bind(8, p.writeLevel);
                    insert.bind(9, p.pattern).bind(10, p.mapTo);
                    if (p.accessControl)
                        insert.bind(6, *p.accessControl);
                }
                insert.bind(11, d.formerly.empty() ? std::string() : former_names_text(d.formerly))
                    .run();
            }));
    }
    templates_ = combined_templates(std::move(templates));
}

void SpooledRelease::each(const std::function<void(Declaration &)> &take) {
    Query rows(db_.statement(
        "SELECT name, is_group, complex, value, access_control, read_level, write_level,"
        " pattern, map_to, formerly FROM temp.release ORDER BY position"));
    while (rows.step()) {
        Declaration d;
        d.fullName = rows.text(0);
        d.isGroup = rows.integer(1) != 0;
        d.formerly = former_names_from_text(rows.view(9));
        if (!d.isGroup) {
            ParameterDeclaration &p = d.parameter;
            p.name = std::string(last_component(d.fullName));
            p.complex = rows.integer(2) != 0;
            p.value = rows.text(3);
            if (!rows.is_null(4))
                p.accessControl = rows.text(4);
            p.readLevel = static_cast<int32_t>(rows.integer(5));
            p.writeLevel = static_cast<int32_t>(rows.integer(6));
            p.pattern = rows.text(7);
            p.mapTo = rows.text(8);
        }
        take(d);
    }
}

StoredFormerItems::StoredFormerItems(Database &db) : db_(db) {
    // user_set: the value differs from the default it was declared with.
    db.execute(R"sql(
DROP TABLE IF EXISTS temp.former;
CREATE TEMP TABLE former(
    id INTEGER PRIMARY KEY, path BLOB NOT NULL, name TEXT NOT NULL, folded TEXT NOT NULL,
    is_group INTEGER NOT NULL, dynamic INTEGER NOT NULL, template TEXT, complex INTEGER NOT NULL,
    value TEXT, user_set INTEGER NOT NULL, read_level INTEGER NOT NULL, mapped INTEGER NOT NULL,
    used INTEGER NOT NULL DEFAULT 0);
INSERT INTO temp.former(path, name, folded, is_group, dynamic, template, complex, value, user_set,
                        read_level, mapped)
    SELECT items.path, items.name, items.folded, items.is_group, items.dynamic, templates.name, items.complex,
           items.value, items.default_value IS NOT NULL AND coalesce(items.map_to, '') = '', items.read_level,
           coalesce(items.map_to, '') <> ''
    FROM items LEFT JOIN templates ON templates.id = items.template_id
    WHERE items.path > x'' ORDER BY items.path;
CREATE INDEX temp.former_by_name ON former(folded);
)sql");
}

namespace {

// A row of "SELECT id, path, name, is_group, dynamic, template, complex,
// value, user_set, read_level, mapped FROM temp.former".
FormerItem item_of(const Query &row) {
    using Kind = FormerItem::Kind;
    FormerItem item;
    item.name = row.text(2);
    item.kind = row.integer(3) != 0    ? Kind::Group
                : row.integer(10) != 0 ? Kind::Mapped
                : row.integer(6) != 0  ? Kind::Complex
                                       : Kind::Plain;
    item.value = row.text(7);
    item.userSet = row.integer(8) != 0;
    item.readLevel = static_cast<int32_t>(row.integer(9));
    if (row.integer(4) != 0) {
        std::optional<Step> step = last_step(row.view(1));
        item.madeFrom = DynamicOrigin{row.text(5), step ? static_cast<int32_t>(step->position) : 0};
    }
    return item;
}

} // namespace

std::optional<std::size_t> StoredFormerItems::find(const std::vector<std::string> &names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        Query query(db_.statement("SELECT id FROM temp.former WHERE folded = ?1 AND NOT used"));
        if (query.bind(1, fold(names[i])).step()) {
            foundUnder_ = i;
            return static_cast<std::size_t>(query.integer(0));
        }
    }
    return std::nullopt;
}

FormerItem StoredFormerItems::item(std::size_t index) {
    Query query(db_.statement("SELECT id, path, name, is_group, dynamic, template, complex, value,"
                              " user_set, read_level, mapped FROM temp.former WHERE id = ?1"));
    if (!query.bind(1, static_cast<int64_t>(index)).step())
        throw StoreError{STORE_FAILED};
    return item_of(query);
}

void StoredFormerItems::use(std::size_t index) {
    Query(db_.statement("UPDATE temp.former SET used = 1 WHERE id = ?1"))
        .bind(1, static_cast<int64_t>(index))
        .run();
}

void StoredFormerItems::use_name(const std::string &name) {
    Query(db_.statement("UPDATE temp.former SET used = 1 WHERE folded = ?1"))
        .bind(1, fold(name))
        .run();
}

void StoredFormerItems::each_unused(
    const std::function<void(std::size_t, const FormerItem &)> &each) {
    Query rows(db_.statement("SELECT id, path, name, is_group, dynamic, template, complex, value,"
                             " user_set, read_level, mapped FROM temp.former WHERE NOT used"
                             " ORDER BY id"));
    while (rows.step())
        each(static_cast<std::size_t>(rows.integer(0)), item_of(rows));
}

} // namespace kelbrin
