// Format 2: items keyed by their path, so that a group's contents are one range of the table.
#include <string>
#include <vector>

#include "base/item_paths.h"
#include "store/format_steps.h"

namespace kelbrin {

// path: base/item_paths.h; depth: the number of dots in the name, so that a
// group's child groups are one range of item_groups.
const char *const walkLayoutItems = R"sql(
CREATE TABLE items(
    path BLOB PRIMARY KEY,
    depth INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL UNIQUE,
    is_group INTEGER NOT NULL,
    dynamic INTEGER NOT NULL DEFAULT 0,
    template_id INTEGER,
    complex INTEGER NOT NULL DEFAULT 0,
    value TEXT,
    access_control TEXT,
    read_level INTEGER NOT NULL DEFAULT 0,
    write_level INTEGER NOT NULL DEFAULT 0,
    pattern TEXT,
    map_to TEXT) WITHOUT ROWID;
CREATE INDEX item_groups ON items(depth, path) WHERE is_group = 1;
)sql";

namespace {

// Version 1 ordered a group's items by (dynamic, number, id): declared ones
// as declared, then dynamic groups by number, those of one number as made.
struct OldChild {
    int64_t id;
    bool isGroup;
    bool dynamic;
    int64_t number;
};

struct Copier {
    Database &db;
    Statement children{db.handle(),
                       "SELECT id, is_group, dynamic, number FROM items_v1 WHERE parent_id = ?1"
                       " ORDER BY dynamic, number, id"};
    Statement copy{db.handle(),
                   "INSERT INTO items(path, depth, name, folded, is_group, dynamic, template_id,"
                   " complex, value, access_control, read_level, write_level, pattern, map_to)"
                   " SELECT ?1, ?2, name, folded, is_group, dynamic, template_id, complex, value,"
                   " access_control, read_level, write_level, pattern, map_to"
                   " FROM items_v1 WHERE id = ?3"};

    void copy_item(int64_t id, const std::string &path, int64_t depth) {
        Query(copy).bind_blob(1, path).bind(2, depth).bind(3, id).run();
    }

    // Everything under the group, depth first.
    void copy_children(int64_t groupId, const std::string &groupPath, int64_t depth) {
        std::vector<OldChild> found;
        {
            Query query(children);
            query.bind(1, groupId);
            while (query.step())
                found.push_back({query.integer(0), query.integer(1) != 0, query.integer(2) != 0,
                                 query.integer(3)});
        }
        uint64_t position = 0;
        uint64_t serial = 0;
        for (std::size_t i = 0; i < found.size(); ++i) {
            const OldChild &child = found[i];
            std::string step;
            if (child.dynamic) {
                bool sameNumber =
                    i > 0 && found[i - 1].dynamic && found[i - 1].number == child.number;
                serial = sameNumber ? serial + 1 : 0;
                step = dynamic_step(static_cast<uint64_t>(child.number), serial);
            } else {
                step = declared_step(position++);
            }
            std::string path = groupPath + step;
            copy_item(child.id, path, depth);
            if (child.isGroup)
                copy_children(child.id, path, depth + 1);
        }
    }
};

} // namespace

void lay_items_out_for_walking(Database &db) {
    db.execute("ALTER TABLE items RENAME TO items_v1");
    db.execute(walkLayoutItems);
    {
        Copier copier{db};
        constexpr int64_t rootId = 1;
        copier.copy_item(rootId, "", 0);
        copier.copy_children(rootId, "", 1);
    }
    db.execute("DROP TABLE items_v1");
}

} // namespace kelbrin
