#include "store/descriptions.h"

#include "base/item_paths.h"
#include "base/names.h"

namespace kelbrin {

namespace {

const Settings fullAccess{};

// The template a dynamic group was made from, and its number.
void add_template_of(Database &db, const Item &group, Description &description) {
    Query query(db.statement("SELECT t.name FROM items i JOIN templates t"
                             " ON t.id = i.template_id WHERE i.path = ?1 AND i.dynamic = 1"));
    query.bind_blob(1, group.path);
    std::optional<Item> parent = find_item(db, parent_name(group.name), fullAccess);
    if (!query.step() || !parent)
        return;
    description.templateName = query.text(0);
    if (std::optional<Step> step = first_step(std::string_view(group.path).substr(parent->path.size())))
        description.number = static_cast<int64_t>(step->position);
}

// Everything directly under the group: one range of paths at the next depth.
void add_children_of(Database &db, Description &description) {
    const Item &group = description.item;
    Query counts(db.statement("SELECT coalesce(sum(is_group = 0), 0), coalesce(sum(is_group = 1), 0)"
                              " FROM items WHERE path > ?1 AND path < ?2 AND depth = ?3"));
    counts.bind_blob(1, group.path).bind_blob(2, subtree_end(group.path)).bind(3, group.depth + 1);
    if (counts.step()) {
        description.parameterCount = counts.integer(0);
        description.groupCount = counts.integer(1);
    }
    Query templates(db.statement(
        "SELECT t.name, t.prefix, t.max_count, (SELECT count(*) FROM items c WHERE c.path > ?1"
        " AND c.path < ?2 AND c.depth = ?3 AND c.dynamic = 1 AND c.template_id = t.id)"
        " FROM templates t WHERE t.parent = ?4 COLLATE NOCASE ORDER BY t.id"));
    templates.bind_blob(1, group.path).bind_blob(2, subtree_end(group.path)).bind(3, group.depth + 1);
    templates.bind(4, group.name);
    while (templates.step())
        description.templates.push_back(
            {templates.text(0), templates.text(1), templates.integer(2), templates.integer(3)});
}

void add_parameter_state(Database &db, Description &description) {
    const Item &item = description.item;
    if (!item.mapTo.empty()) {
        try {
            description.target.value =
                reach_parameter(db, item.name.c_str(), fullAccess, Access::Read);
        } catch (const StoreError &error) {
            description.target.refusal = error.code;
        }
    }
    // None where the store does not know it.
    Query declared(db.statement("SELECT coalesce(default_value, value) FROM items"
                                " WHERE path = ?1 AND default_value IS NOT value"));
    if (item.mapTo.empty() && declared.bind_blob(1, item.path).step())
        description.declaredDefault = declared.text(0);
    std::optional<Item> group = find_item(db, parent_name(item.name), fullAccess);
    if (group && group->dynamic)
        add_template_of(db, *group, description);
}

} // namespace

Description describe(Database &db, const std::string &name) {
    std::optional<Item> item = find_item(db, name, fullAccess);
    if (!item)
        throw StoreError{UNKNOWN_PARAMETER};
    Description description;
    description.item = std::move(*item);
    if (description.item.isGroup) {
        add_template_of(db, description.item, description);
        add_children_of(db, description);
    } else {
        add_parameter_state(db, description);
    }
    return description;
}

} // namespace kelbrin
