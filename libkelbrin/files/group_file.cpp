#include "files/group_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <set>

#include "base/json_text.h"
#include "files/declared_names.h"
#include "files/located_json.h"
#include "base/names.h"
#include "base/pattern.h"
#include "base/rules.h"
#include "base/tree_text.h"

namespace kelbrin {

namespace {

using json = nlohmann::ordered_json;

// Longest key compared with the known ones for a likely misspelling.
constexpr std::size_t maxSpellingKeyBytes = 40;

// Where the file first nests deeper than the limit, strings and comments
// skipped (nullopt if nowhere), read a buffer at a time: for a file whose
// parsing stopped, which may have stopped before that place. Throws for a
// file that cannot be read or is larger than maxBytes.
std::optional<TextPosition> too_deep_at(FILE *file, std::size_t maxBytes) {
    enum { Plain, InString, Escaped, Slash, LineComment, BlockComment, BlockStar } state = Plain;
    int depth = 0;
    TextPosition at{1, 0};
    std::size_t total = 0;
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if ((total += got) > maxBytes)
            throw StoreError{FILE_UNREADABLE, maxBytes == maxGroupFileBytes ? "the file is larger than 16 MiB"
                                                                             : "the file is larger than 64 MiB"};
        for (std::size_t i = 0; i < got; ++i) {
            char c = chunk[i];
            ++at.column;
            switch (state) {
            case InString:
                state = c == '\\' ? Escaped : c == '"' ? Plain : InString;
                break;
            case Escaped:
                state = InString;
                break;
            case LineComment:
                state = c == '\n' ? Plain : LineComment;
                break;
            case BlockComment:
                state = c == '*' ? BlockStar : BlockComment;
                break;
            case BlockStar:
                state = c == '/' ? Plain : c == '*' ? BlockStar : BlockComment;
                break;
            case Slash:
                if (c == '/' || c == '*') {
                    state = c == '/' ? LineComment : BlockComment;
                    break;
                }
                state = Plain;
                [[fallthrough]];
            case Plain:
                if (c == '"')
                    state = InString;
                else if (c == '/')
                    state = Slash;
                else if ((c == '[' || c == '{') && ++depth > maxGroupFileDepth)
                    return at;
                else if (c == ']' || c == '}')
                    --depth;
                break;
            }
            if (c == '\n')
                at = {at.line + 1, 0};
        }
    }
    if (std::ferror(file))
        throw StoreError{FILE_UNREADABLE, std::strerror(errno)};
    return std::nullopt;
}

// The parser's message without its own prefix and position.
std::string syntax_message(const json::exception &error) {
    std::string_view text = error.what();
    if (std::size_t end = text.find("] "); end != std::string_view::npos)
        text.remove_prefix(end + 2);
    if (text.starts_with("parse error"))
        if (std::size_t colon = text.find(": "); colon != std::string_view::npos)
            text.remove_prefix(colon + 2);
    return std::string(text);
}

// A value as written in JSON, cut short.
std::string as_written(const json &value) {
    return shortened(value.dump());
}

std::string as_written(const std::string &text) {
    return quoted_for_message(text);
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Edits (insertions, deletions, substitutions) that turn one word into the
// other, ignoring case.
std::size_t edit_distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t above = row[j];
            row[j] = std::min(
                {row[j] + 1, row[j - 1] + 1, diagonal + (lower(a[i - 1]) != lower(b[j - 1]))});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// A known key that an unknown one is likely a misspelling of.
bool likely_misspelt(std::string_view key, std::string_view known) {
    return key.size() <= maxSpellingKeyBytes &&
           edit_distance(key, known) <= (known.size() >= 5 ? 2u : 1u);
}

// Reads a group file's parts as the streaming parse hands them over:
// groups one by one, each declared before its items, templates whole.
class Reader : public StreamListener {
  public:
    Reader(std::vector<Problem> *problems, Contents contents, const DeclarationSink &each,
           DeclaredNames &declared)
        : problems_(problems), state_(contents == Contents::DeclarationsAndState), each_(each),
          declared_(declared) {}

    std::vector<TemplateDeclaration> templates;
    const Places *places = nullptr;
    std::optional<Error> firstProblem; // when not listing problems

    bool streams(const OpenObject &object, const std::string &key) override {
        if (object.top)
            return key == "groups";
        // A group whose name has come before its items: declared now, its
        // items read as they come. Otherwise the group is read whole.
        if (key != "items" || !object.members.contains("group"))
            return false;
        // Within a group that could not be declared, nothing is read.
        bool skipped = !openGroups_.empty() && !openGroups_.back();
        openGroups_.push_back(skipped ? std::nullopt : read_group_head(object.members, parent_of_item()));
        return true;
    }

    void item(const OpenObject &holder, const json &list, const json &value) override {
        if (holder.top)
            read_group(value, list, "");
        else if (const std::optional<std::string> &group = openGroups_.back())
            read_item(value, list, *group);
    }

    void closed(const OpenObject &object) override {
        if (object.top)
            return read_top(object.members);
        // Members after the items were not seen when the group was declared.
        json late = json::object();
        std::size_t index = 0;
        for (const auto &[key, value] : object.members.items())
            if (index++ > object.membersBeforeList)
                late[key] = value;
        if (openGroups_.back()) {
            allow_only_at(late, object.where, group_keys(), *openGroups_.back());
            if (state_ && (late.contains("template") || late.contains("number")))
                note_at(object.where, *openGroups_.back(),
                        "\"template\" and \"number\" must come before \"items\"");
            // The group was declared, former names and all, when its items began.
            if (late.contains("formerly"))
                note_at(object.where, *openGroups_.back(),
                        "\"formerly\" must come before \"items\"");
        }
        openGroups_.pop_back();
    }

    void read_top(const json &document) {
        if (!document.is_object()) {
            note(document, "", "the file must hold one object, with \"groups\" and \"templates\"");
            return;
        }
        allow_only(document, {"groups", "templates"}, "");
        bool groups = is_list(document, "groups", ""),
             templates = is_list(document, "templates", "");
        if (groups)
            for (const json &group : document.at("groups"))
                read_group(group, document.at("groups"), "");
        if (templates)
            for (const json &item : document.at("templates"))
                read_template(item, document.at("templates"));
        for (const auto &[name, templateName, at] : dynamicGroups_)
            if (templateNames_.count(fold(templateName)) == 0)
                note_at(at, name, "template " + as_written(templateName) + " is not declared in this file");
    }

    // Says how many problems were left out of a long list.
    void finish() {
        if (leftOut_ > 0)
            problems_->push_back(
                {FILE_INVALID, {}, "", std::to_string(leftOut_) + " more problems not listed"});
    }

  private:
    TextPosition where(const json &value) const { return places->where(value); }

    // The group an item of the list now streamed lies in; "" for the top list.
    std::string parent_of_item() const {
        return openGroups_.empty() || !openGroups_.back() ? "" : *openGroups_.back();
    }

    std::initializer_list<const char *> group_keys() const {
        static constexpr std::initializer_list<const char *> plain = {"group", "items", "formerly"},
                                                            withState = {"group", "items", "template", "number",
                                                                         "formerly"};
        return state_ ? withState : plain;
    }

    // Notes a problem at a place (an object or list of the file), or keeps
    // the first one's code when reading for the store.
    void note(const json &place, std::string subject, std::string cause,
              Error code = FILE_INVALID) {
        note_at(where(place), std::move(subject), std::move(cause), code);
    }

    void note_at(TextPosition place, std::string subject, std::string cause,
                 Error code = FILE_INVALID) {
        if (!problems_) {
            firstProblem = firstProblem.value_or(code);
            return;
        }
        if (problems_->size() < maxProblemsPerFile)
            problems_->push_back({code, place, std::move(subject), std::move(cause)});
        else
            ++leftOut_;
    }

    void allow_only(const json &object, std::initializer_list<const char *> keys,
                    const std::string &subject) {
        allow_only_at(object, where(object), keys, subject);
    }

    void allow_only_at(const json &object, TextPosition at, std::initializer_list<const char *> keys,
                       const std::string &subject) {
        for (const auto &[key, value] : object.items()) {
            if (std::find(keys.begin(), keys.end(), key) != keys.end())
                continue;
            std::string cause = "unknown key " + as_written(key);
            for (const char *known : keys)
                if (likely_misspelt(key, known))
                    cause += std::string("; did you mean \"") + known + "\"?";
            note_at(at, subject, std::move(cause));
        }
    }

    bool is_list(const json &object, const char *key, const std::string &subject) {
        auto found = object.find(key);
        if (found == object.end())
            return false;
        if (!found->is_array())
            note(object, subject,
                 std::string("\"") + key + "\" must be a list, not " + as_written(*found));
        return found->is_array();
    }

    // The text under the key; nullopt when it is missing or not a text.
    std::optional<std::string> text_field(const json &object, const char *key,
                                          const std::string &subject, bool required = false) {
        auto found = object.find(key);
        if (found == object.end()) {
            if (required)
                note(object, subject, std::string("\"") + key + "\" is missing");
            return std::nullopt;
        }
        if (!found->is_string()) {
            note(object, subject,
                 std::string("\"") + key + "\" must be a text, not " + as_written(*found));
            return std::nullopt;
        }
        return found->get<std::string>();
    }

    int32_t int_field(const json &object, const char *key, int32_t otherwise,
                      const std::string &subject) {
        auto found = object.find(key);
        if (found == object.end())
            return otherwise;
        if (!found->is_number_integer() || found->get<int64_t>() < INT32_MIN ||
            found->get<int64_t>() > INT32_MAX) {
            note(object, subject,
                 std::string("\"") + key +
                     "\" must be a whole number from -2147483648 to 2147483647, not " +
                     as_written(*found));
            return otherwise;
        }
        return found->get<int32_t>();
    }

    // A text of bytes written as hex digits (an export's value that is not UTF-8).
    std::optional<std::string> hex_field(const json &object, const char *key,
                                         const std::string &subject) {
        std::optional<std::string> hex = text_field(object, key, subject);
        if (!hex)
            return std::nullopt;
        std::optional<std::string> bytes = bytes_of_hex(*hex);
        if (!bytes)
            note(object, subject,
                 std::string("\"") + key + "\" must be pairs of hex digits, not " + as_written(*hex));
        return bytes;
    }

    // A tree in the store's own form (an export's tree that the group file's
    // form cannot carry exactly).
    std::optional<std::string> stored_field(const json &object, const char *key,
                                            const std::string &subject) {
        try {
            return canonical_stored_form(object.at(key));
        } catch (const StoreError &error) {
            note(object, subject,
                 std::string("\"") + key + "\" is not a tree in the store's form" +
                     (error.code == VALUE_TOO_LONG ? ": the tree is too large" : ""));
            return std::nullopt;
        }
    }

    // An export's current value, in the form the parameter's kind takes.
    std::optional<std::string> current_field(const json &item, const ParameterDeclaration &p,
                                             const std::string &subject) {
        int forms = item.contains("current") + item.contains("currentHex") +
                    item.contains("currentStored");
        if (forms == 0)
            return std::nullopt;
        if (forms > 1) {
            note(item, subject,
                 "\"current\", \"currentHex\" and \"currentStored\" exclude each other");
            return std::nullopt;
        }
        if (item.contains(p.complex ? "currentHex" : "currentStored")) {
            note(item, subject,
                 p.complex ? "\"currentHex\" is for a plain value, not a tree"
                           : "\"currentStored\" is for a tree, not a plain value");
            return std::nullopt;
        }
        if (item.contains("currentStored"))
            return stored_field(item, "currentStored", subject);
        std::optional<std::string> current;
        if (p.complex) {
            try {
                current = stored_form_of(item.at("current"));
            } catch (const StoreError &error) {
                note(item, subject,
                     std::string("\"current\": ") +
                         (error.reason ? error.reason : "the tree cannot be stored"),
                     error.code);
            }
        } else {
            current = item.contains("currentHex") ? hex_field(item, "currentHex", subject)
                                                  : text_field(item, "current", subject);
        }
        return current;
    }

    // The "formerly" list: full names of a group or parameter, or template names.
    std::vector<std::string> former_names(const json &object, const std::string &subject,
                                          bool fullNames) {
        std::vector<std::string> names;
        if (!is_list(object, "formerly", subject))
            return names;
        for (const json &name : object.at("formerly")) {
            if (!name.is_string() || name.get<std::string>().empty() ||
                (fullNames && !is_valid_full_name(name.get<std::string>())))
                note(object, subject,
                     std::string("\"formerly\" must list ") +
                         (fullNames ? "full names" : "template names") + ", not " +
                         as_written(name));
            else
                names.push_back(name.get<std::string>());
        }
        return names;
    }

    // An export's dynamic group: the template it was made from, and its number.
    std::optional<DynamicOrigin> read_origin(const json &group, const std::string &subject) {
        std::optional<std::string> name = text_field(group, "template", subject, true);
        if (!group.contains("number")) {
            note(group, subject, "\"number\" is missing");
            return std::nullopt;
        }
        int32_t number = int_field(group, "number", 0, subject);
        if (number < 0)
            note(group, subject, "\"number\" must be at least 0, not " + std::to_string(number));
        if (!name || number < 0)
            return std::nullopt;
        return DynamicOrigin{*name, number};
    }

    // A parameter of a group (prefix: the group's name and a dot) or of a
    // template; owner names the place of a parameter without a name.
    std::optional<ParameterDeclaration> read_parameter(const json &item, const json &list,
                                                       const std::string &owner,
                                                       const std::string &prefix,
                                                       bool inGroup) {
        if (!item.is_object()) {
            note(list, owner, "an item must be an object, not " + as_written(item));
            return std::nullopt;
        }
        auto named = item.find("parameter");
        std::string subject =
            named != item.end() && named->is_string() ? prefix + named->get<std::string>() : owner;
        if (state_ && inGroup)
            allow_only(item,
                       {"parameter", "value", "tree", "accessControl", "readLevel", "writeLevel",
                        "pattern", "mapTo", "current", "valueHex", "treeStored", "currentHex",
                        "currentStored", "formerly"},
                       subject);
        else if (inGroup)
            allow_only(item,
                       {"parameter", "value", "tree", "accessControl", "readLevel", "writeLevel",
                        "pattern", "mapTo", "formerly"},
                       subject);
        else
            allow_only(item,
                       {"parameter", "value", "tree", "accessControl", "readLevel", "writeLevel",
                        "pattern", "mapTo"},
                       subject);
        std::optional<std::string> name = text_field(item, "parameter", subject, true);
        if (!name)
            return std::nullopt;
        ParameterDeclaration p;
        p.name = *name;
        if (!is_valid_component(p.name))
            note(item, subject,
                 as_written(p.name) + " is not a valid name: use letters, digits and underscores");
        int kinds = item.contains("value") + item.contains("tree") + item.contains("mapTo") +
                    item.contains("valueHex") + item.contains("treeStored");
        if (kinds > 1)
            note(item, subject, "\"value\", \"tree\" and \"mapTo\" exclude each other");
        else if (kinds == 1 && item.contains("mapTo") && !inGroup)
            note(item, subject, "\"mapTo\" is not allowed in a template");
        if (item.contains("valueHex")) {
            p.value = hex_field(item, "valueHex", subject).value_or("");
        } else if (item.contains("treeStored")) {
            p.complex = true;
            p.value = stored_field(item, "treeStored", subject).value_or("");
        } else if (item.contains("tree")) {
            p.complex = true;
            try {
                p.value = stored_form_of(item.at("tree"));
            } catch (const StoreError &error) {
                note(item, subject, error.reason ? error.reason : "the tree cannot be stored",
                     error.code);
            }
        } else if (item.contains("mapTo")) {
            if (std::optional<std::string> target = text_field(item, "mapTo", subject)) {
                p.mapTo = *target;
                if (!is_valid_full_name(p.mapTo))
                    note(item, subject,
                         "\"mapTo\" " + as_written(p.mapTo) + " is not a full parameter name");
            }
        } else if (item.contains("value")) {
            const json &value = item.at("value");
            if (value.is_string() || value.is_number_integer())
                p.value = value.is_string() ? value.get<std::string>() : value.dump();
            else
                note(item, subject,
                     "\"value\" must be a text or a whole number, not " + as_written(value));
        }
        p.current = current_field(item, p, subject);
        p.accessControl = text_field(item, "accessControl", subject);
        p.readLevel = int_field(item, "readLevel", 0, subject);
        p.writeLevel = int_field(item, "writeLevel", 0, subject);
        std::string error;
        if (std::optional<std::string> pattern = text_field(item, "pattern", subject)) {
            p.pattern = *pattern;
            error = pattern_error(p.pattern);
            if (p.complex || !p.mapTo.empty())
                note(item, subject,
                     "\"pattern\" applies only to a plain value, not to a \"tree\" or \"mapTo\"");
            else if (!error.empty())
                note(item, subject,
                     "pattern " + as_written(p.pattern) + " does not compile: " + error);
        }
        if (!p.complex && p.mapTo.empty() && error.empty())
            for (const auto &[what, value] : {std::pair("default", &p.value), std::pair("current value", p.current ? &*p.current : nullptr)})
                if (std::optional<Refusal> refusal = value ? plain_value_refusal(what, *value, p.pattern) : std::nullopt)
                    note(item, subject, std::move(refusal->cause));
        return p;
    }

    void read_group(const json &group, const json &list, const std::string &parentName) {
        if (!group.is_object()) {
            note(list, parentName, "a group must be an object, not " + as_written(group));
            return;
        }
        std::optional<std::string> subject = read_group_head(group, parentName);
        if (!subject)
            return;
        auto items = group.find("items");
        if (items == group.end())
            return;
        if (!items->is_array()) {
            note(group, *subject, "\"items\" must be a list, not " + as_written(*items));
            return;
        }
        for (const json &item : *items)
            read_item(item, *items, *subject);
    }

    void read_item(const json &item, const json &list, const std::string &group) {
        if (item.is_object() && item.contains("group")) {
            read_group(item, list, group);
        } else if (std::optional<ParameterDeclaration> parameter =
                       read_parameter(item, list, group, group + ".", true)) {
            std::string parameterName;
            parameterName.reserve(group.size() + 1 + parameter->name.size());
            parameterName.append(group).append(".").append(parameter->name);
            std::vector<std::string> formerly = former_names(item, parameterName, true);
            declare(Declaration{std::move(parameterName), false, std::move(*parameter), where(item), {},
                                std::move(formerly)},
                    item);
        }
    }

    // A group's own part, its items aside: its name checked and the group
    // declared. Its full name, or nullopt when it has none to give its items.
    std::optional<std::string> read_group_head(const json &group, const std::string &parentName) {
        auto named = group.find("group");
        bool top = parentName.empty();
        std::string subject = named != group.end() && named->is_string()
                                  ? (top ? "" : parentName + ".") + named->get<std::string>()
                                  : parentName;
        allow_only(group, group_keys(), subject);
        std::optional<std::string> name = text_field(group, "group", subject, true);
        if (!name)
            return std::nullopt;
        std::optional<DynamicOrigin> madeFrom;
        if (state_ && (group.contains("template") || group.contains("number")))
            madeFrom = read_origin(group, subject);
        // An overlong name is reported once, when it is declared.
        if (top ? name->size() <= maxNameBytes && !is_valid_full_name(*name)
                : !is_valid_component(*name))
            note(group, subject,
                 as_written(*name) +
                     (top ? " is not a full group name: \"root\" and components of letters, digits "
                            "and"
                            " underscores, joined by dots"
                          : " is not a valid name: use letters, digits and underscores"));
        declare(Declaration{subject, true, {}, where(group), std::move(madeFrom),
                            former_names(group, subject, true)},
                group);
        return subject;
    }

    void read_template(const json &item, const json &list) {
        if (!item.is_object()) {
            note(list, "", "a template must be an object, not " + as_written(item));
            return;
        }
        auto named = item.find("template");
        std::string subject = named != item.end() && named->is_string()
                                  ? "template " + named->get<std::string>()
                                  : "a template";
        allow_only(item, {"template", "parent", "prefix", "max", "items", "formerly"}, subject);
        TemplateDeclaration t;
        t.where = where(item);
        t.formerly = former_names(item, subject, false);
        std::optional<std::string> name = text_field(item, "template", subject, true);
        std::optional<std::string> parent = text_field(item, "parent", subject, true);
        std::optional<std::string> prefix = text_field(item, "prefix", subject);
        t.maxCount = int_field(item, "max", INT32_MAX, subject);
        bool valid = name && parent && is_valid_full_name(*parent);
        if (name && name->empty())
            note(item, subject, "the name is empty");
        if (parent && !is_valid_full_name(*parent))
            note(item, subject, "\"parent\" " + as_written(*parent) + " is not a full group name");
        if (t.maxCount < 1)
            note(item, subject, "\"max\" must be at least 1, not " + std::to_string(t.maxCount));
        if (prefix && !prefix->empty() && !is_valid_component(*prefix))
            note(item, subject,
                 "\"prefix\" " + as_written(*prefix) +
                     " may hold only letters, digits and underscores");
        if (name && !templateNames_.insert(fold(*name)).second)
            note(item, subject, "declared twice");
        std::set<std::string> names;
        if (is_list(item, "items", subject)) {
            for (const json &parameter : item.at("items")) {
                std::optional<ParameterDeclaration> p = read_parameter(
                    parameter, item.at("items"), subject, subject + ", parameter ", false);
                if (!p)
                    continue;
                if (!names.insert(fold(p->name)).second)
                    note(parameter, subject + ", parameter " + p->name, "declared twice");
                t.parameters.push_back(std::move(*p));
            }
        }
        if (!valid)
            return;
        t.name = *name;
        t.parent = *parent;
        t.prefix = prefix.value_or("");
        templates.push_back(std::move(t));
    }

    void declare(Declaration declaration, const json &place) {
        if (declaration.fullName.size() > maxNameBytes) {
            note(place, declaration.fullName, "the full name is longer than 255 bytes");
            return;
        }
        // A group may be opened again (to add to it); anything else twice is a mistake.
        if (std::optional<DeclaredNames::Declared> known = declared_.declare(
                fold(declaration.fullName), declaration.isGroup, declaration.where.line)) {
            if (known->isGroup && declaration.isGroup)
                return;
            std::string cause = known->isGroup == declaration.isGroup
                                    ? "declared twice"
                                    : "declared as a group and as a parameter";
            if (known->line > 0)
                cause += " (first on line " + std::to_string(known->line) + ")";
            note(place, declaration.fullName, std::move(cause));
            return;
        }
        if (declaration.madeFrom)
            dynamicGroups_.push_back({declaration.fullName, declaration.madeFrom->templateName, declaration.where});
        each_(declaration);
    }

    struct DynamicGroup {
        std::string name;
        std::string templateName;
        TextPosition where;
    };

    std::vector<Problem> *problems_; // null: keep only the first problem's code
    bool state_; // an export: current values and dynamic groups allowed
    const DeclarationSink &each_;
    // The groups whose items are being streamed; nullopt for one without a name.
    std::vector<std::optional<std::string>> openGroups_;
    std::vector<DynamicGroup> dynamicGroups_; // checked against the templates at the end
    std::size_t leftOut_ = 0;
    DeclaredNames &declared_;
    std::set<std::string> templateNames_;
};

// A problem that ends the reading: thrown when reading for the store.
std::vector<TemplateDeclaration> stop(std::vector<Problem> *problems, Error code, TextPosition where,
                                      std::string cause) {
    if (!problems)
        throw StoreError{code};
    problems->push_back({code, where, "", std::move(cause)});
    return {};
}

} // namespace

std::vector<TemplateDeclaration> read_group_file(const char *path, std::vector<Problem> *problems,
                                                 Contents contents, const DeclarationSink &each,
                                                 DeclaredNames *names) {
    std::unique_ptr<FILE, int (*)(FILE *)> file(std::fopen(path, "rb"), std::fclose);
    if (!file)
        return stop(problems, FILE_UNREADABLE, {}, std::string("cannot read the file: ") + std::strerror(errno));
    std::size_t maxBytes = contents == Contents::Declarations ? maxGroupFileBytes : maxExportBytes;
    std::size_t noted = problems ? problems->size() : 0;
    std::optional<DeclaredNames> own;
    if (!names) {
        names = &own.emplace();
        names->begin_file();
    }
    Reader reader(problems, contents, each, *names);
    StreamParser parser(file.get(), reader, maxBytes, maxGroupFileDepth);
    reader.places = &parser.places();
    std::optional<Problem> ended; // what stopped the reading before the end
    try {
        parser.parse();
    } catch (const NestedTooDeep &deep) {
        ended = Problem{FILE_TOO_DEEP, deep.where, "", "nested deeper than 200 levels"};
    } catch (const UnreadableFile &error) {
        ended = Problem{FILE_UNREADABLE, {}, "", std::string("cannot read the file: ") + error.reason};
    } catch (const json::parse_error &error) {
        // A text that is not JSON: its syntax error is all there is to say.
        ended = Problem{FILE_SYNTAX, parser.position_of(error.byte > 0 ? error.byte - 1 : 0), "",
                        syntax_message(error)};
    } catch (const json::exception &error) {
        // Not expected of a text that parses; kept as the loader always had it.
        ended = Problem{FILE_INVALID, {}, "", syntax_message(error)};
    }
    if (ended) {
        if (problems)
            problems->resize(noted);
        // Before what stopped the reading come a file too large or unreadable
        // and nesting too deep, wherever in the file they are.
        std::rewind(file.get());
        try {
            if (std::optional<TextPosition> deep = too_deep_at(file.get(), maxBytes))
                ended = Problem{FILE_TOO_DEEP, *deep, "", "nested deeper than 200 levels"};
        } catch (const StoreError &error) {
            ended = Problem{error.code, {}, "", std::string("cannot read the file: ") + error.reason};
        }
        return stop(problems, ended->code, ended->where, std::move(ended->cause));
    }
    if (reader.firstProblem)
        throw StoreError{*reader.firstProblem};
    if (problems)
        reader.finish();
    return std::move(reader.templates);
}

GroupFile read_whole_group_file(const char *path, std::vector<Problem> *problems, Contents contents) {
    GroupFile file;
    file.templates = read_group_file(path, problems, contents,
                                     [&](const Declaration &declaration) { file.declarations.push_back(declaration); });
    return file;
}

} // namespace kelbrin
