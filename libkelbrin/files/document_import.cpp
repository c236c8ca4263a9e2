#include "files/document_import.h"

#include <functional>
#include <unordered_map>

#include "store/change_log.h"
#include "base/item_paths.h"
#include "base/names.h"

namespace kelbrin {

namespace {

// A group laid out so far: where it is, and where its next items go.
struct PlacedGroup {
    std::string name;
    std::string path;
    int64_t depth = 0;
    uint64_t nextPosition = 0;
    // One past the serial last given to a dynamic group of each number.
    std::unordered_map<uint64_t, uint64_t> nextSerial;
};

class Layout {
  public:
    Layout(Database &db, const std::vector<TemplateDeclaration> &templates) : db_(db) {
        int64_t id = 0;
        for (const TemplateDeclaration &t : templates)
            templateIds_.emplace(fold(t.name), ++id);
        groups_.emplace("root", PlacedGroup{"root", "", 0, 0, {}});
    }

    // The group, placed (with any missing ancestors) if it is new.
    PlacedGroup &place_group(const std::string &name,
                             const std::optional<DynamicOrigin> &madeFrom) {
        std::string folded = fold(name);
        if (auto found = groups_.find(folded); found != groups_.end())
            return found->second;
        PlacedGroup &parent = place_group(std::string(parent_name(name)), std::nullopt);
        PlacedGroup group{name, parent.path, parent.depth + 1, 0, {}};
        Query insert(db_.statement("INSERT INTO items(path, depth, name, folded, is_group, dynamic,"
                                   " template_id) VALUES(?1, ?2, ?3, ?4, 1, ?5, ?6)"));
        if (madeFrom) {
            auto number = static_cast<uint64_t>(madeFrom->number);
            group.path += dynamic_step(number, parent.nextSerial[number]++);
            insert.bind(5, 1).bind(6, templateIds_.at(fold(madeFrom->templateName)));
        } else {
            group.path += declared_step(parent.nextPosition++);
            insert.bind(5, 0);
        }
        insert.bind_blob(1, group.path).bind(2, group.depth).bind(3, name).bind(4, folded).run();
        return groups_.emplace(std::move(folded), std::move(group)).first->second;
    }

    void place_parameter(const Declaration &declaration) {
        const ParameterDeclaration &p = declaration.parameter;
        PlacedGroup &group =
            place_group(std::string(parent_name(declaration.fullName)), std::nullopt);
        Query insert(db_.statement(
            "INSERT INTO items(path, depth, name, folded, is_group, complex, value, default_value,"
            " access_control, read_level, write_level, pattern, map_to)"
            " VALUES(?1, ?2, ?3, ?4, 0, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)"));
        insert.bind_blob(1, group.path + declared_step(group.nextPosition++))
            .bind(2, group.depth + 1);
        insert.bind(3, declaration.fullName).bind(4, fold(declaration.fullName)).bind(5, p.complex);
        // A current value equal to the default: the default is not known.
        insert.bind(6, p.current.value_or(p.value));
        if (p.current)
            insert.bind(7, p.value);
        if (p.accessControl)
            insert.bind(8, *p.accessControl);
        insert.bind(9, p.readLevel)
            .bind(10, p.writeLevel)
            .bind(11, p.pattern)
            .bind(12, p.mapTo)
            .run();
    }

    // A template's parent in its group's declared case, as loading keeps it.
    void place_templates(const std::vector<TemplateDeclaration> &templates) {
        int64_t id = 0;
        for (const TemplateDeclaration &t : templates) {
            auto parent = groups_.find(fold(t.parent));
            Query(db_.statement("INSERT INTO templates(id, name, folded, parent, prefix, max_count,"
                                " parameters) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)"))
                .bind(1, ++id)
                .bind(2, t.name)
                .bind(3, fold(t.name))
                .bind(4, parent != groups_.end() ? parent->second.name : t.parent)
                .bind(5, t.prefix)
                .bind(6, t.maxCount)
                .bind(7, parameters_to_text(t.parameters))
                .run();
        }
    }

  private:
    Database &db_;
    std::unordered_map<std::string, PlacedGroup> groups_; // by folded name
    std::unordered_map<std::string, int64_t> templateIds_;
};

} // namespace

StoreContent store_content(Database &db) {
    Query query(
        db.statement("SELECT (SELECT count(*) FROM items) - 1, (SELECT count(*) FROM templates)"));
    StoreContent content;
    if (query.step())
        content = {query.integer(0), query.integer(1)};
    return content;
}

namespace {

// Drops everything but root, then lays the declarations that each hands
// over out in their order, and the templates.
void lay_out(Database &db, const std::vector<TemplateDeclaration> &templates, const Settings &settings,
             const std::function<void(const DeclarationSink &)> &declarations) {
    Query(db.statement("DELETE FROM items WHERE path > x''")).run();
    Query(db.statement("DELETE FROM templates")).run();
    Layout layout(db, templates);
    std::vector<std::string> topGroups;
    declarations([&](const Declaration &declaration) {
        if (!declaration.isGroup) {
            layout.place_parameter(declaration);
            return;
        }
        layout.place_group(declaration.fullName, declaration.madeFrom);
        if (parent_name(declaration.fullName).empty())
            topGroups.push_back(declaration.fullName);
    });
    layout.place_templates(templates);
    for (const std::string &name : topGroups)
        record_change(db, settings, name);
}

} // namespace

void import_document(Database &db, const char *path, const std::vector<TemplateDeclaration> &templates,
                     const Settings &settings) {
    lay_out(db, templates, settings, [&](const DeclarationSink &each) {
        read_group_file(path, nullptr, Contents::DeclarationsAndState, each);
    });
}

void import_document(Database &db, const std::vector<TemplateDeclaration> &templates,
                     const Settings &settings,
                     const std::function<void(const DeclarationSink &)> &declarations) {
    lay_out(db, templates, settings, declarations);
}

void import_document(Database &db, const GroupFile &document, const Settings &settings) {
    lay_out(db, document.templates, settings, [&](const DeclarationSink &each) {
        for (const Declaration &declaration : document.declarations)
            each(declaration);
    });
}

} // namespace kelbrin
