#include "group_file.h"

#include <cstdio>
#include <memory>
#include <set>

#include "tree_text.h"
#include "errors.h"
#include "names.h"
#include "pattern.h"

namespace kelbrin {

namespace {

using json = nlohmann::ordered_json;

std::string read_file(const char *path) {
    std::unique_ptr<FILE, int (*)(FILE *)> file(std::fopen(path, "rb"), std::fclose);
    if (!file)
        throw StoreError{FILE_UNREADABLE};
    std::string text;
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        text.append(chunk, got);
        if (text.size() > maxGroupFileBytes)
            throw StoreError{FILE_UNREADABLE};
    }
    if (std::ferror(file.get()))
        throw StoreError{FILE_UNREADABLE};
    return text;
}

// The nesting depth of the JSON text, strings and comments skipped, measured
// before parsing so that no later recursion over the document can run deep.
int nesting_depth(const std::string &text) {
    int depth = 0, deepest = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            for (++i; i < text.size() && text[i] != '"'; ++i)
                if (text[i] == '\\')
                    ++i;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            i = text.find('\n', i);
            if (i == std::string::npos)
                break;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            i = text.find("*/", i + 2);
            if (i == std::string::npos)
                break;
            ++i;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

[[noreturn]] void invalid() { throw StoreError{FILE_INVALID}; }

void allow_only(const json &object, std::initializer_list<const char *> keys) {
    if (!object.is_object())
        invalid();
    for (const auto &[key, value] : object.items()) {
        bool known = false;
        for (const char *allowed : keys)
            known = known || key == allowed;
        if (!known)
            invalid();
    }
}

std::string text_field(const json &object, const char *key) {
    const json &value = object.at(key);
    if (!value.is_string())
        invalid();
    return value.get<std::string>();
}

int32_t int_field(const json &object, const char *key, int32_t otherwise) {
    if (!object.contains(key))
        return otherwise;
    const json &value = object.at(key);
    if (!value.is_number_integer() || value.get<int64_t>() < INT32_MIN || value.get<int64_t>() > INT32_MAX)
        invalid();
    return value.get<int32_t>();
}

std::string plain_value(const json &value) {
    if (value.is_string())
        return value.get<std::string>();
    if (value.is_number_integer())
        return value.dump();
    invalid();
}

ParameterDeclaration read_parameter(const json &item, bool mappingAllowed) {
    allow_only(item, {"parameter", "value", "tree", "accessControl", "readLevel", "writeLevel", "pattern", "mapTo"});
    ParameterDeclaration p;
    p.name = text_field(item, "parameter");
    if (!is_valid_component(p.name))
        invalid();
    int kinds = item.contains("value") + item.contains("tree") + item.contains("mapTo");
    if (kinds > 1 || (kinds == 1 && item.contains("mapTo") && !mappingAllowed))
        invalid();
    if (item.contains("tree")) {
        p.complex = true;
        p.value = stored_form_of(item.at("tree"));
    } else if (item.contains("mapTo")) {
        p.mapTo = text_field(item, "mapTo");
        if (!is_valid_full_name(p.mapTo))
            invalid();
    } else if (item.contains("value")) {
        p.value = plain_value(item.at("value"));
    }
    if (item.contains("accessControl"))
        p.accessControl = text_field(item, "accessControl");
    p.readLevel = int_field(item, "readLevel", 0);
    p.writeLevel = int_field(item, "writeLevel", 0);
    if (item.contains("pattern")) {
        p.pattern = text_field(item, "pattern");
        if (p.complex || !p.mapTo.empty() || !is_valid_pattern(p.pattern) || !matches_pattern(p.pattern, p.value))
            invalid();
    }
    return p;
}

class Reader {
  public:
    GroupFile result;

    void read_group(const json &group, const std::string &parentName) {
        allow_only(group, {"group", "items"});
        std::string name = text_field(group, "group");
        std::string fullName;
        if (parentName.empty()) {
            if (!is_valid_full_name(name))
                invalid();
            fullName = name;
        } else {
            if (!is_valid_component(name))
                invalid();
            fullName = parentName + "." + name;
        }
        declare(Declaration{fullName, true, {}});
        if (!group.contains("items"))
            return;
        if (!group.at("items").is_array())
            invalid();
        for (const json &item : group.at("items")) {
            if (item.is_object() && item.contains("group")) {
                read_group(item, fullName);
            } else {
                ParameterDeclaration parameter = read_parameter(item, true);
                std::string parameterName = fullName + "." + parameter.name;
                declare(Declaration{parameterName, false, std::move(parameter)});
            }
        }
    }

    void read_template(const json &item) {
        allow_only(item, {"template", "parent", "prefix", "max", "items"});
        TemplateDeclaration t;
        t.name = text_field(item, "template");
        t.parent = text_field(item, "parent");
        t.prefix = item.contains("prefix") ? text_field(item, "prefix") : std::string();
        t.maxCount = int_field(item, "max", INT32_MAX);
        if (t.name.empty() || !is_valid_full_name(t.parent) || t.maxCount < 1)
            invalid();
        if (!t.prefix.empty() && !is_valid_component(t.prefix))
            invalid();
        if (!templateNames_.insert(fold(t.name)).second)
            invalid();
        std::set<std::string> names;
        if (item.contains("items")) {
            if (!item.at("items").is_array())
                invalid();
            for (const json &parameter : item.at("items")) {
                t.parameters.push_back(read_parameter(parameter, false));
                if (!names.insert(fold(t.parameters.back().name)).second)
                    invalid();
            }
        }
        result.templates.push_back(std::move(t));
    }

  private:
    void declare(Declaration declaration) {
        if (declaration.fullName.size() > maxNameBytes)
            invalid();
        std::string folded = fold(declaration.fullName);
        auto [known, added] = declared_.emplace(folded, declaration.isGroup);
        // A group may be opened again (to add to it); anything else twice is a mistake.
        if (!added) {
            if (!(known->second && declaration.isGroup))
                invalid();
            return;
        }
        result.declarations.push_back(std::move(declaration));
    }

    std::map<std::string, bool> declared_;
    std::set<std::string> templateNames_;
};

} // namespace

GroupFile read_group_file(const char *path) {
    std::string text = read_file(path);
    if (nesting_depth(text) > maxGroupFileDepth)
        throw StoreError{FILE_TOO_DEEP};
    json document = json::parse(text, nullptr, false, true);
    if (document.is_discarded())
        throw StoreError{FILE_SYNTAX};
    Reader reader;
    try {
        allow_only(document, {"groups", "templates"});
        for (const char *section : {"groups", "templates"})
            if (document.contains(section) && !document.at(section).is_array())
                invalid();
        if (document.contains("groups"))
            for (const json &group : document.at("groups"))
                reader.read_group(group, "");
        if (document.contains("templates"))
            for (const json &item : document.at("templates"))
                reader.read_template(item);
    } catch (const json::exception &) {
        invalid();
    }
    return std::move(reader.result);
}

} // namespace kelbrin
