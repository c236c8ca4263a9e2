#include "files/loading.h"

#include <optional>
#include <unordered_map>

#include "store/change_log.h"
#include "base/errors.h"
#include "files/former_names.h"
#include "files/group_file.h"
#include "base/item_paths.h"
#include "store/items.h"
#include "base/names.h"
#include "base/rules.h"

namespace kelbrin {

namespace {

// Group files are matched ignoring case: a file that says root.network adds
// to root.Network rather than declaring a second group beside it.
const Settings declaredNames{};

[[noreturn]] void invalid() { throw StoreError{FILE_INVALID}; }

// A group met in this load: where it is, and the position its next new
// declared item takes.
struct KnownGroup {
    std::string path;
    int64_t depth;
    std::optional<uint64_t> nextPosition; // read when first needed
    bool made = false; // by this load: nothing under it is in the store yet
};
// By folded name: most declarations are parameters of a group just declared.
using KnownGroups = std::unordered_map<std::string, KnownGroup>;

// New declarations go after the group's last declared item (and before its
// dynamic groups): one past the position of the last path in that range.
uint64_t take_position(Database &db, KnownGroup &group) {
    if (!group.nextPosition) {
        group.nextPosition = 0;
        if (std::optional<std::string> last =
                last_path_between(db, group.path, declared_end(group.path))) {
            std::optional<Step> step =
                first_step(std::string_view(*last).substr(group.path.size()));
            if (!step || step->dynamic)
                throw StoreError{STORE_FAILED};
            group.nextPosition = step->position + 1;
        }
    }
    return (*group.nextPosition)++;
}

// The group, declared (with any missing ancestors) if it is new.
KnownGroup &ensure_group(Database &db, KnownGroups &known, const std::string &name) {
    std::string folded = fold(name);
    if (auto found = known.find(folded); found != known.end())
        return found->second;
    KnownGroup group;
    std::string_view parent = parent_name(name);
    auto parentKnown = parent.empty() ? known.end() : known.find(fold(parent));
    bool underNew = parentKnown != known.end() && parentKnown->second.made;
    if (std::optional<Item> existing = underNew ? std::nullopt : find_item(db, name, declaredNames)) {
        if (!existing->isGroup)
            invalid();
        group = KnownGroup{std::move(existing->path), existing->depth, std::nullopt};
    } else {
        if (parent.empty())
            invalid();
        KnownGroup &parentGroup = ensure_group(db, known, std::string(parent));
        group = KnownGroup{parentGroup.path + declared_step(take_position(db, parentGroup)), parentGroup.depth + 1, 0, true};
        Query(db.statement("INSERT INTO items(path, depth, name, folded, is_group) VALUES(?1, ?2, ?3, ?4, 1)"))
            .bind_blob(1, group.path)
            .bind(2, group.depth)
            .bind(3, name)
            .bind(4, folded)
            .run();
    }
    return known.emplace(std::move(folded), std::move(group)).first->second;
}

// Bound without a copy: the declaration outlives the query.
void bind_attributes(Query &query, const ParameterDeclaration &p) {
    if (p.accessControl)
        query.bind_borrowed(2, *p.accessControl);
    query.bind(3, p.readLevel).bind(4, p.writeLevel).bind_borrowed(5, p.pattern).bind_borrowed(6, p.mapTo);
}

// A parameter declared again keeps its value and takes the new attributes and default.
void declare_parameter(Database &db, const Settings &settings, KnownGroup &group, const Declaration &declaration) {
    const ParameterDeclaration &p = declaration.parameter;
    if (std::optional<Item> existing = group.made ? std::nullopt : find_item(db, declaration.fullName, declaredNames)) {
        // The value kept must suit the new declaration, as a set would have to.
        if (existing->isGroup || existing->complex != p.complex ||
            (!p.complex && p.mapTo.empty() && plain_value_refusal("value", existing->value, p.pattern)))
            invalid();
        Query update(db.statement("UPDATE items SET access_control = ?2, read_level = ?3, write_level = ?4,"
                                  " pattern = ?5, map_to = ?6, default_value = CASE WHEN value = ?7 THEN NULL"
                                  " ELSE ?7 END WHERE path = ?1"));
        update.bind_blob(1, existing->path);
        bind_attributes(update, p);
        update.bind(7, p.value).run();
        return;
    }
    // The texts are bound without a copy: each lives until the insert has run.
    std::string path = group.path + declared_step(take_position(db, group));
    std::string folded = fold(declaration.fullName);
    Query insert(db.statement("INSERT INTO items(path, access_control, read_level, write_level, pattern, map_to,"
                              " name, folded, is_group, complex, value, depth)"
                              " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, 0, ?9, ?10, ?11)"));
    insert.bind_blob_borrowed(1, path);
    bind_attributes(insert, p);
    insert.bind_borrowed(7, declaration.fullName).bind_borrowed(8, folded).bind(9, p.complex);
    insert.bind_borrowed(10, p.value).bind(11, group.depth + 1).run();
    record_change(db, settings, declaration.fullName, p.complex || !p.mapTo.empty() ? nullptr : &p.value,
                  p.readLevel);
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

// The file's declarations written as its reading hands them over. The
// store is opened with the first of them, so that a file that fails at once
// leaves a missing store uncreated; after the file's first problem or the
// first write the store refuses, nothing more is written and the
// transaction is rolled back (a store this made is removed, or emptied, again).
class StreamedLoad {
  public:
    explicit StreamedLoad(const Settings &settings) : settings_(settings) {}
    StreamedLoad(const StreamedLoad &) = delete;
    StreamedLoad &operator=(const StreamedLoad &) = delete;
    ~StreamedLoad() {
        if (!committed_)
            abandon();
    }

    void add(const Declaration &declaration) {
        attempt([&] {
            if (declaration.isGroup)
                ensure_group(*db_, known_, declaration.fullName);
            else
                declare_parameter(*db_, settings_, group_of(declaration.fullName), declaration);
            record_former_names(*db_, declaration);
            if (!declaration.parameter.mapTo.empty())
                mappings_.push_back(declaration.parameter.mapTo);
        });
    }

    // The store's refusal, thrown, or the whole file committed.
    void finish(const std::vector<TemplateDeclaration> &templates) {
        attempt([&] {
            for (const std::string &target : mappings_)
                if (stored_mapping_refusal(*db_, target))
                    invalid();
            for (const TemplateDeclaration &t : templates) {
                declare_template(*db_, t);
                record_former_names(*db_, t);
            }
            transaction_->commit();
            committed_ = true;
        });
        if (refusal_)
            throw *refusal_;
    }

  private:
    // A parameter's group, most often the one the parameter before it lies in.
    KnownGroup &group_of(const std::string &fullName) {
        std::string_view parent = parent_name(fullName);
        if (!lastGroup_ || parent != lastParent_) {
            lastGroup_ = &ensure_group(*db_, known_, std::string(parent));
            lastParent_ = parent;
        }
        return *lastGroup_;
    }

    template <typename Write> void attempt(const Write &write) {
        if (refusal_)
            return;
        try {
            if (!db_)
                begin();
            write();
        } catch (const StoreError &error) {
            refusal_ = error;
            abandon();
        }
    }

    void begin() {
        std::string path = store_path();
        bool missing = is_missing(path);
        wasEmptyFile_ = is_empty_file(path);
        db_ = &database(IfMissing::Create);
        if (missing || wasEmptyFile_)
            made_ = std::move(path);
        db_->apply_sync_mode(settings_.syncMode);
        transaction_.emplace(*db_);
    }

    void abandon() {
        transaction_.reset();
        if (made_) {
            close_connection();
            put_back_store_files(*made_, wasEmptyFile_);
            made_.reset();
        }
    }

    const Settings &settings_;
    Database *db_ = nullptr;
    std::optional<WriteTransaction> transaction_;
    std::optional<std::string> made_; // the store file this made, from nothing or an empty file
    bool wasEmptyFile_ = false;
    bool committed_ = false;
    std::optional<StoreError> refusal_;
    KnownGroups known_;
    KnownGroup *lastGroup_ = nullptr; // the last parameter's, named lastParent_
    std::string lastParent_;
    std::vector<std::string> mappings_;
};

} // namespace

void load_group_file(const char *path, const Settings &settings) {
    // Read once: what the file itself gets wrong comes before what the
    // store refuses, as when the file was checked whole first.
    std::vector<Problem> problems;
    StreamedLoad load(settings);
    std::vector<TemplateDeclaration> templates =
        read_group_file(path, &problems, Contents::Declarations, [&](const Declaration &declaration) {
            if (problems.empty())
                load.add(declaration);
        });
    if (!problems.empty())
        throw StoreError{problems.front().code};
    load.finish(templates);
}

} // namespace kelbrin
