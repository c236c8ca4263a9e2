#include "files/document_export.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <vector>

#include "base/declarations.h"
#include "base/errors.h"
#include "base/item_paths.h"
#include "base/json_text.h"
#include "base/names.h"
#include "base/stored_tree_reader.h"
#include "base/tree_text.h"

namespace kelbrin {

namespace {

// Bytes gathered before they go to the sink.
constexpr std::size_t chunkBytes = 64 * 1024;
// Indentation of the top-level lists' entries, and of each level below.
constexpr std::size_t topIndent = 4;
constexpr std::size_t indentStep = 2;

struct Template {
    std::string name;
    std::string parent;
    std::string prefix;
    int64_t maxCount;
    std::string parameters;
};

class Writer {
  public:
    explicit Writer(const DocumentSink &sink) : sink_(sink) {}

    std::string &out() { return buffer_; }
    void flush_if_full() {
        if (buffer_.size() >= chunkBytes)
            flush();
    }
    void flush() {
        sink_(buffer_);
        buffer_.clear();
    }

  private:
    const DocumentSink &sink_;
    std::string buffer_;
};

void key(std::string &out, const char *name) {
    out += ", \"";
    out += name;
    out += "\": ";
}

// A plain text under its key, or under key + "Hex" when it is not UTF-8.
void put_text(std::string &out, const char *name, std::string_view text) {
    bool utf8 = is_valid_utf8(text);
    key(out, utf8 ? name : (std::string(name) + "Hex").c_str());
    if (utf8)
        append_json_string(out, text);
    else
        append_json_string(out, hex_of(text));
}

// A stored tree under its key in the group file's form, or under storedKey
// in the store's own form when that alone carries it exactly.
void put_tree(std::string &out, const char *name, const char *storedKey, std::string_view stored,
              const std::string &owner) {
    if (std::optional<std::string> natural = exact_natural_text(stored)) {
        key(out, name);
        out += *natural;
        return;
    }
    try {
        std::free(deliver_tree(stored));
    } catch (const StoreError &) {
        throw std::runtime_error(owner + ": the complex value does not read back (see verify)");
    }
    key(out, storedKey);
    out += stored;
}

void put_parameter(std::string &out, const ParameterDeclaration &p, const std::string &owner) {
    out += "{ \"parameter\": ";
    append_json_string(out, p.name);
    if (!p.mapTo.empty()) {
        key(out, "mapTo");
        append_json_string(out, p.mapTo);
        if (p.current)
            put_text(out, "current", *p.current);
    } else if (p.complex) {
        put_tree(out, "tree", "treeStored", p.value, owner);
        if (p.current)
            put_tree(out, "current", "currentStored", *p.current, owner);
    } else {
        put_text(out, "value", p.value);
        if (p.current)
            put_text(out, "current", *p.current);
    }
    if (!p.pattern.empty()) {
        key(out, "pattern");
        append_json_string(out, p.pattern);
    }
    for (auto [name, level] :
         {std::pair("readLevel", p.readLevel), std::pair("writeLevel", p.writeLevel)}) {
        if (level != 0) {
            key(out, name);
            out += std::to_string(level);
        }
    }
    if (p.accessControl) {
        key(out, "accessControl");
        append_json_string(out, *p.accessControl);
    }
    out += " }";
}

// A list of items below an opened object: "items" opens with its first entry.
struct OpenList {
    std::string path;
    std::size_t indent;
    bool hasItems = false;
    std::string header; // a group's opening, until it is written
    bool written = true;
};

void open_entry(std::string &out, OpenList &list) {
    out += list.hasItems ? ",\n" : ", \"items\": [\n";
    list.hasItems = true;
    out.append(list.indent + indentStep, ' ');
}

void close_entry(std::string &out, const OpenList &list) {
    if (list.hasItems) {
        out += '\n';
        out.append(list.indent, ' ');
        out += "] }";
    } else {
        out += " }";
    }
}

class Exporter {
  public:
    Exporter(Database &db, const DocumentSink &sink, bool changedOnly)
        : db_(db), writer_(sink), changedOnly_(changedOnly) {
        read_templates();
    }

    void run(const Item &group) {
        std::string &out = writer_.out();
        out += "{\n  \"groups\": [\n";
        out.append(topIndent, ' ');
        Query items(db_.statement(
            "SELECT path, name, is_group, dynamic, template_id, complex, value, default_value,"
            " access_control, read_level, write_level, pattern, map_to FROM items"
            " WHERE path >= ?1 AND path < ?2 ORDER BY path"));
        items.bind_blob(1, group.path).bind_blob(2, subtree_end(group.path));
        std::vector<OpenList> open;
        while (items.step()) {
            std::string path = items.blob(0);
            while (!open.empty() && !path.starts_with(open.back().path)) {
                if (open.back().written)
                    close_entry(out, open.back());
                open.pop_back();
            }
            bool top = open.empty();
            std::string name = items.text(1);
            std::string shown = top ? name : std::string(last_component(name));
            if (items.integer(2) != 0) {
                OpenList group{path, top ? topIndent : open.back().indent + indentStep, false, {}, true};
                group.header = "{ \"group\": ";
                append_json_string(group.header, shown);
                bool dynamic = items.integer(3) != 0;
                if (dynamic)
                    put_origin(group.header, items.integer(4), last_step(path), name);
                // Only what holds a change is written of the rest.
                group.written = false;
                open.push_back(std::move(group));
                if (!changedOnly_ || top || dynamic)
                    write_open_groups(out, open);
            } else if (!changedOnly_ || (items.view(12).empty() && !items.is_null(7))) {
                write_open_groups(out, open);
                open_entry(out, open.back());
                put_parameter(out, parameter_of(items, shown), name);
            }
            writer_.flush_if_full();
        }
        while (!open.empty()) {
            if (open.back().written)
                close_entry(out, open.back());
            open.pop_back();
        }
        out += "\n  ]";
        write_templates(group);
        out += "\n}\n";
        writer_.flush();
    }

  private:
    // Opens the groups above an item that are not written yet, outermost first.
    static void write_open_groups(std::string &out, std::vector<OpenList> &open) {
        for (std::size_t i = 0; i < open.size(); ++i) {
            if (open[i].written)
                continue;
            if (i > 0)
                open_entry(out, open[i - 1]);
            out += open[i].header;
            open[i].written = true;
        }
    }

    void read_templates() {
        Query query(db_.statement(
            "SELECT id, name, parent, prefix, max_count, parameters FROM templates ORDER BY id"));
        while (query.step())
            templates_.emplace(query.integer(0),
                               Template{query.text(1), query.text(2), query.text(3),
                                        query.integer(4), query.text(5)});
    }

    void put_origin(std::string &out, int64_t templateId, std::optional<Step> step,
                    const std::string &group) {
        auto found = templates_.find(templateId);
        if (found == templates_.end() || !step || !step->dynamic)
            throw std::runtime_error(group + ": a dynamic group without its template (see verify)");
        key(out, "template");
        append_json_string(out, found->second.name);
        key(out, "number");
        out += std::to_string(step->position);
        usedTemplates_.insert(templateId);
    }

    static ParameterDeclaration parameter_of(const Query &items, const std::string &shown) {
        ParameterDeclaration p;
        p.name = shown;
        p.complex = items.integer(5) != 0;
        std::string value = items.text(6);
        p.mapTo = items.text(12);
        // A mapped parameter's default is empty; a value of its own (from
        // before it was mapped) is hidden behind its target, and kept.
        if (!p.mapTo.empty()) {
            if (!value.empty())
                p.current = std::move(value);
        } else if (!items.is_null(7)) {
            p.value = items.text(7);
            p.current = std::move(value);
        } else {
            p.value = std::move(value);
        }
        if (!items.is_null(8))
            p.accessControl = items.text(8);
        p.readLevel = static_cast<int32_t>(items.integer(9));
        p.writeLevel = static_cast<int32_t>(items.integer(10));
        p.pattern = items.text(11);
        return p;
    }

    // The templates for groups under the exported group, and those its
    // dynamic groups were made from.
    void write_templates(const Item &group) {
        std::string &out = writer_.out();
        std::string under = fold(group.name) + ".";
        bool first = true;
        for (const auto &[id, t] : templates_) {
            std::string parent = fold(t.parent);
            bool used = usedTemplates_.count(id) != 0;
            // Changes alone hold only the groups of the dynamic groups written.
            if ((changedOnly_ && !used) ||
                (!group.path.empty() && parent != fold(group.name) && !parent.starts_with(under) && !used))
                continue;
            out += first ? ",\n  \"templates\": [\n" : ",\n";
            first = false;
            out.append(topIndent, ' ');
            out += "{ \"template\": ";
            append_json_string(out, t.name);
            key(out, "parent");
            append_json_string(out, t.parent);
            key(out, "prefix");
            append_json_string(out, t.prefix);
            if (t.maxCount != INT32_MAX) {
                key(out, "max");
                out += std::to_string(t.maxCount);
            }
            OpenList list{"", topIndent, false, {}, true};
            for (const ParameterDeclaration &p : parameters_from_text(t.parameters)) {
                open_entry(out, list);
                put_parameter(out, p, "template " + t.name + ", parameter " + p.name);
            }
            close_entry(out, list);
        }
        if (!first)
            out += "\n  ]";
    }

    Database &db_;
    Writer writer_;
    bool changedOnly_;
    std::map<int64_t, Template> templates_;
    std::set<int64_t> usedTemplates_;
};

} // namespace

void export_document(Database &db, const Item &group, const DocumentSink &sink, bool changedOnly) {
    Exporter(db, sink, changedOnly).run(group);
}

} // namespace kelbrin
