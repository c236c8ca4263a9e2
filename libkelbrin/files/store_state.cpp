#include "files/store_state.h"

#include <unordered_map>

#include "base/item_paths.h"
#include "base/names.h"
#include "files/former_names.h"

namespace kelbrin {

namespace {

FormerItem::Kind kind_of(bool isGroup, bool complex, bool mapped) {
    using Kind = FormerItem::Kind;
    return isGroup ? Kind::Group : mapped ? Kind::Mapped : complex ? Kind::Complex : Kind::Plain;
}

std::unordered_map<int64_t, std::string> read_templates(Database &db, GroupFile &declarations) {
    std::unordered_map<int64_t, std::string> names;
    Query query(db.statement("SELECT id, name, parent, prefix, max_count, parameters, formerly"
                             " FROM templates ORDER BY id"));
    while (query.step()) {
        TemplateDeclaration t;
        t.name = query.text(1);
        t.parent = query.text(2);
        t.prefix = query.text(3);
        t.maxCount = static_cast<int32_t>(query.integer(4));
        t.parameters = parameters_from_text(query.text(5));
        t.formerly = former_names_from_text(query.view(6));
        names.emplace(query.integer(0), t.name);
        declarations.templates.push_back(std::move(t));
    }
    return names;
}

} // namespace

StoreState read_store_state(Database &db) {
    StoreState state;
    std::unordered_map<int64_t, std::string> templates = read_templates(db, state.declarations);
    Query items(db.statement(
        "SELECT path, name, is_group, dynamic, template_id, complex, value, default_value,"
        " access_control, read_level, write_level, pattern, map_to, formerly FROM items"
        " WHERE path > x'' ORDER BY path"));
    std::string dynamicPath; // of the dynamic group being read; empty outside one
    while (items.step()) {
        std::string_view path = items.view(0);
        bool isGroup = items.integer(2) != 0, dynamic = items.integer(3) != 0;
        bool mapped = !items.view(12).empty();
        FormerItem item{items.text(1), kind_of(isGroup, items.integer(5) != 0, mapped),
                        items.text(6), !items.is_null(7) && !mapped,
                        static_cast<int32_t>(items.integer(9)), std::nullopt, false};
        if (!dynamicPath.empty() && !path.starts_with(dynamicPath))
            dynamicPath.clear();
        if (dynamic) {
            auto t = templates.find(items.integer(4));
            std::optional<Step> step = last_step(path);
            item.madeFrom = DynamicOrigin{t != templates.end() ? t->second : std::string(),
                                          step ? static_cast<int32_t>(step->position) : 0};
            dynamicPath = std::string(path);
        } else if (dynamicPath.empty()) {
            Declaration d;
            d.fullName = item.name;
            d.isGroup = isGroup;
            d.formerly = former_names_from_text(items.view(13));
            if (!isGroup) {
                ParameterDeclaration &p = d.parameter;
                p.name = std::string(last_component(item.name));
                p.complex = items.integer(5) != 0;
                p.value = items.is_null(7) || mapped ? item.value : items.text(7);
                if (mapped)
                    p.value.clear();
                if (!items.is_null(8))
                    p.accessControl = items.text(8);
                p.readLevel = item.readLevel;
                p.writeLevel = static_cast<int32_t>(items.integer(10));
                p.pattern = items.text(11);
                p.mapTo = items.text(12);
            }
            state.declarations.declarations.push_back(std::move(d));
        }
        state.former.add(std::move(item));
    }
    return state;
}

void add_document_values(FormerState &former, const GroupFile &document) {
    for (const Declaration &d : document.declarations) {
        const ParameterDeclaration &p = d.parameter;
        bool userSet = !d.isGroup && p.mapTo.empty() && p.current;
        if (!userSet && !d.madeFrom)
            continue;
        former.add(FormerItem{d.fullName, kind_of(d.isGroup, p.complex, false),
                              p.current.value_or(p.value), userSet, p.readLevel, d.madeFrom, true});
    }
}

} // namespace kelbrin
