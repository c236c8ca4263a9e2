#include "store/verification.h"

#include <cstdlib>
#include <set>
#include <vector>

#include "base/declarations.h"
#include "base/errors.h"
#include "base/item_paths.h"
#include "store/items.h"
#include "base/json_text.h"
#include "base/names.h"
#include "base/pattern.h"
#include "base/rules.h"
#include "base/stored_tree_reader.h"

namespace kelbrin {

namespace {

const Settings fullAccess{};

bool reads_back(const std::string &stored) {
    try {
        std::free(deliver_tree(stored));
        return true;
    } catch (const StoreError &) {
        return false;
    }
}

// A group or parameter met on the walk, while the walk is under it.
struct Ancestor {
    std::string path;
    std::string name;
    int64_t depth;
    bool isGroup;
};

class Verifier {
  public:
    Verifier(Database &db, const std::function<void(const Finding &)> &report)
        : db_(db), report_(report) {}

    void integrity() {
        Query query(db_.statement("PRAGMA integrity_check"));
        while (query.step())
            if (query.view(0) != "ok")
                report_({"store file", query.text(0)});
    }

    // One walk in path order: each item's parent is the nearest item above
    // it on the walk whose path begins its own.
    void items() {
        std::set<int64_t> templateIds;
        for (Query query(db_.statement("SELECT id FROM templates")); query.step();)
            templateIds.insert(query.integer(0));
        Query query(
            db_.statement("SELECT path, depth, name, folded, is_group, dynamic, template_id,"
                          " complex, value, default_value, pattern, map_to FROM items"
                          " ORDER BY path"));
        std::vector<Ancestor> above;
        while (query.step()) {
            std::string path = query.blob(0), name = query.text(2);
            while (!above.empty() && (path.size() <= above.back().path.size() ||
                                      !path.starts_with(above.back().path)))
                above.pop_back();
            bool isGroup = query.integer(4) != 0;
            if (!is_valid_full_name(name) || query.view(3) != fold(name))
                report_(
                    {name, "its name is not a valid name, or is kept under another folded name"});
            if (path.empty() && (!isGroup || fold(name) != "root"))
                report_({name, "stands where root belongs"});
            if (!path.empty())
                check_place(path, name, query.integer(1), isGroup && query.integer(5) != 0, above);
            if (isGroup && query.integer(5) != 0 && templateIds.count(query.integer(6)) == 0)
                report_({name, "a dynamic group whose template is gone"});
            if (!isGroup)
                check_parameter(name, query);
            above.push_back({std::move(path), std::move(name), query.integer(1), isGroup});
        }
    }

    void templates() {
        Query query(db_.statement("SELECT name, parent, parameters FROM templates ORDER BY id"));
        while (query.step()) {
            std::string subject = "template " + query.text(0), parent = query.text(1);
            std::optional<Item> group =
                is_valid_full_name(parent) ? find_item(db_, parent, fullAccess) : std::nullopt;
            if (!group || !group->isGroup)
                report_({subject, "its parent " + parent + " is not a group in the store"});
            std::vector<ParameterDeclaration> parameters;
            try {
                parameters = parameters_from_text(query.text(2));
            } catch (const StoreError &) {
                report_({subject, "its parameters do not read back"});
            }
            std::set<std::string> names;
            for (const ParameterDeclaration &p : parameters) {
                std::string named = subject + ", parameter " + p.name;
                if (!names.insert(fold(p.name)).second)
                    report_({named, "declared twice"});
                if (p.complex && !reads_back(p.value))
                    report_({named, "its default tree does not read back"});
                if (std::optional<Refusal> refusal =
                        p.complex ? std::nullopt : plain_value_refusal("default", p.value, p.pattern))
                    report_({named, refusal->cause});
            }
        }
    }

  private:
    void check_place(const std::string &path, const std::string &name, int64_t depth, bool dynamic,
                     const std::vector<Ancestor> &above) {
        std::string_view below = above.empty()
                                     ? std::string_view(path)
                                     : std::string_view(path).substr(above.back().path.size());
        std::optional<Step> step = take_step(below);
        if (above.empty() || !step || !below.empty()) {
            report_({name, "its parent group is missing"});
            return;
        }
        const Ancestor &parent = above.back();
        if (!parent.isGroup)
            report_({name, "lies under " + parent.name + ", which is a parameter"});
        else if (fold(parent_name(name)) != fold(parent.name) || depth != parent.depth + 1)
            report_({name, "its name or depth does not match its place under " + parent.name});
        if (step->dynamic != dynamic)
            report_({name, dynamic ? "a dynamic group in a declared item's place"
                                   : "a declared item in a dynamic group's place"});
    }

    void check_parameter(const std::string &name, const Query &query) {
        std::string value = query.text(8), pattern = query.text(10), target = query.text(11);
        if (!target.empty()) {
            check_mapping(name, target);
        } else if (query.integer(7) != 0) {
            if (!reads_back(value))
                report_({name, "its complex value does not read back"});
            if (!query.is_null(9) && !reads_back(query.text(9)))
                report_({name, "its declared default does not read back"});
        } else if (std::string error = pattern.empty() ? "" : pattern_error(pattern); !error.empty()) {
            report_({name, "its pattern " + quoted_for_message(pattern) + " does not compile: " + error});
        } else if (std::optional<Refusal> refusal = plain_value_refusal("value", value, pattern)) {
            report_({name, refusal->cause});
        }
    }

    void check_mapping(const std::string &name, const std::string &target) {
        if (std::optional<std::string> refusal = stored_mapping_refusal(db_, target))
            report_({name, *refusal});
    }

    Database &db_;
    const std::function<void(const Finding &)> &report_;
};

} // namespace

void verify_store(Database &db, const std::function<void(const Finding &)> &report) {
    Verifier verifier(db, report);
    verifier.integrity();
    verifier.items();
    verifier.templates();
}

void find_values_outputs_cannot_carry(
    Database &db, const std::function<void(const std::string &name, const UnsafeCharacter &)> &warn) {
    Query query(db.statement("SELECT name, value FROM items WHERE is_group = 0 AND complex = 0"
                             " AND (map_to IS NULL OR map_to = '') ORDER BY path"));
    while (query.step())
        for (const UnsafeCharacter &unsafe : characters_outputs_cannot_carry(query.view(1)))
            warn(query.text(0), unsafe);
}

} // namespace kelbrin
