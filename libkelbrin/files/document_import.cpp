#include "files/document_import.h"

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

} // namespace

class Layout {
  public:
    explicit Layout(Database &db) : db_(db) { groups_.emplace("root", PlacedGroup{"root", "", 0, 0, {}}); }

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
            insert.bind(5, 1).bind(6, stand_in_id(madeFrom->templateName));
        } else {
            group.path += declared_step(parent.nextPosition++);
            insert.bind(5, 0);
        }
        insert.bind_blob(1, group.path).bind(2, group.depth).bind(3, name).bind(4, folded).run();
        return groups_.emplace(std::move(folded), std::move(group)).first->second;
    }

    // The texts are bound without a copy: each lives until the insert has run.
    void place_parameter(const Declaration &declaration) {
        const ParameterDeclaration &p = declaration.parameter;
        PlacedGroup &group = group_of(declaration.fullName);
        std::string path = group.path + declared_step(group.nextPosition++);
        std::string folded = fold(declaration.fullName);
        Query insert(db_.statement(
            "INSERT INTO items(path, depth, name, folded, is_group, complex, value, default_value,"
            " access_control, read_level, write_level, pattern, map_to)"
            " VALUES(?1, ?2, ?3, ?4, 0, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12)"));
        insert.bind_blob_borrowed(1, path).bind(2, group.depth + 1);
        insert.bind_borrowed(3, declaration.fullName).bind_borrowed(4, folded).bind(5, p.complex);
        // A current value equal to the default: the default is not known.
        insert.bind_borrowed(6, p.current ? *p.current : p.value);
        if (p.current)
            insert.bind_borrowed(7, p.value);
        if (p.accessControl)
            insert.bind_borrowed(8, *p.accessControl);
        insert.bind(9, p.readLevel)
            .bind(10, p.writeLevel)
            .bind_borrowed(11, p.pattern)
            .bind_borrowed(12, p.mapTo)
            .run();
    }

    // A template's parent in its group's declared case, as loading keeps it.
    // Templates are numbered in their order; the groups made from one take
    // its number in place of their stand-in.
    void place_templates(const std::vector<TemplateDeclaration> &templates) {
        int64_t id = 0;
        for (const TemplateDeclaration &t : templates) {
            if (auto standIn = standInIds_.find(fold(t.name)); standIn != standInIds_.end())
                Query(db_.statement("UPDATE items SET template_id = ?2 WHERE template_id = ?1"))
                    .bind(1, standIn->second)
                    .bind(2, id + 1)
                    .run();
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
    // A parameter's group, most often the one the parameter before it lies in.
    PlacedGroup &group_of(const std::string &fullName) {
        std::string_view parent = parent_name(fullName);
        if (!lastGroup_ || parent != lastGroup_->name)
            lastGroup_ = &place_group(std::string(parent), std::nullopt);
        return *lastGroup_;
    }

    // An export's templates follow its groups: a dynamic group is laid out
    // with a number below zero for its template, the same for each template.
    int64_t stand_in_id(const std::string &templateName) {
        int64_t next = -1 - static_cast<int64_t>(standInIds_.size());
        return standInIds_.try_emplace(fold(templateName), next).first->second;
    }

    Database &db_;
    std::unordered_map<std::string, PlacedGroup> groups_; // by folded name
    PlacedGroup *lastGroup_ = nullptr;                    // the last parameter's
    std::unordered_map<std::string, int64_t> standInIds_; // by folded template name
};

StoreContent store_content(Database &db) {
    Query query(
        db.statement("SELECT (SELECT count(*) FROM items) - 1, (SELECT count(*) FROM templates)"));
    StoreContent content;
    if (query.step())
        content = {query.integer(0), query.integer(1)};
    return content;
}

DocumentImport::DocumentImport(Database &db, const Settings &settings)
    : db_(db), settings_(settings), layout_(std::make_unique<Layout>(db)) {
    Query(db.statement("DELETE FROM items WHERE path > x''")).run();
    Query(db.statement("DELETE FROM templates")).run();
}

DocumentImport::~DocumentImport() = default;

void DocumentImport::add(const Declaration &declaration) {
    if (!declaration.isGroup) {
        layout_->place_parameter(declaration);
        return;
    }
    layout_->place_group(declaration.fullName, declaration.madeFrom);
    if (parent_name(declaration.fullName).empty())
        topGroups_.push_back(declaration.fullName);
}

void DocumentImport::finish(const std::vector<TemplateDeclaration> &templates) {
    layout_->place_templates(templates);
    for (const std::string &name : topGroups_)
        record_change(db_, settings_, name);
}

void import_document(Database &db, const std::vector<TemplateDeclaration> &templates,
                     const Settings &settings,
                     const std::function<void(const DeclarationSink &)> &declarations) {
    DocumentImport import(db, settings);
    declarations([&import](const Declaration &declaration) { import.add(declaration); });
    import.finish(templates);
}

void import_document(Database &db, const GroupFile &document, const Settings &settings) {
    DocumentImport import(db, settings);
    for (const Declaration &declaration : document.declarations)
        import.add(declaration);
    import.finish(document.templates);
}

} // namespace kelbrin
