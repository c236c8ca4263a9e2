#include "script.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "call_log.h"

namespace kelbrin_double {

using nlohmann::json;

namespace {

std::optional<std::string> optional_text(const json &object, const char *key) {
    if (!object.contains(key) || object.at(key).is_null())
        return std::nullopt;
    return object.at(key).get<std::string>();
}

std::optional<int> optional_number(const json &object, const char *key) {
    if (!object.contains(key))
        return std::nullopt;
    return object.at(key).get<int>();
}

Parameter read_parameter(const json &entry) {
    Parameter parameter;
    parameter.name = entry.at("name").get<std::string>();
    if (entry.contains("tree"))
        parameter.tree = entry.at("tree");
    else
        parameter.value = entry.at("value").get<std::string>();
    parameter.accessControl = optional_text(entry, "accessControl");
    return parameter;
}

Template read_template(const json &entry) {
    Template pattern;
    pattern.parent = entry.at("parent").get<std::string>();
    pattern.name = entry.at("name").get<std::string>();
    pattern.prefix = entry.at("prefix").get<std::string>();
    pattern.max = entry.at("max").get<int>();
    if (entry.contains("taken"))
        pattern.taken = entry.at("taken").get<std::vector<int>>();
    return pattern;
}

FailEntry read_failure(const json &entry) {
    FailEntry failure;
    failure.call = entry.at("call").get<std::string>();
    failure.arg = optional_text(entry, "arg");
    failure.nth = optional_number(entry, "nth").value_or(0);
    failure.error = optional_number(entry, "error");
    failure.result = optional_number(entry, "result");
    failure.value = optional_text(entry, "value");
    return failure;
}

Store read_store(const json &script) {
    Store result;
    for (const json &entry : script.value("params", json::array()))
        result.params.push_back(read_parameter(entry));
    const json children = script.value("children", json::object());
    for (const auto &[group, list] : children.items())
        for (const json &entry : list)
            result.children[group].push_back(
                {entry.at("name").get<std::string>(), entry.at("value").get<std::string>()});
    for (const json &entry : script.value("templates", json::array()))
        result.templates.push_back(read_template(entry));
    for (const json &entry : script.value("fail", json::array()))
        result.fails.push_back(read_failure(entry));
    return result;
}

Store load(const std::string &path) {
    if (path.empty())
        return {};
    std::ifstream file(path);
    if (!file) {
        Store broken;
        broken.scriptError = "cannot read " + path;
        return broken;
    }
    std::stringstream content;
    content << file.rdbuf();
    try {
        return read_store(json::parse(content.str()));
    } catch (const json::exception &error) {
        Store broken;
        broken.scriptError = error.what();
        return broken;
    }
}

} // namespace

bool is_under(std::string_view name, std::string_view group) {
    return name.size() > group.size() && name.starts_with(group) && name[group.size()] == '.';
}

Parameter *Store::find(std::string_view name) {
    auto found = std::find_if(params.begin(), params.end(),
                              [&](const Parameter &parameter) { return parameter.name == name; });
    return found == params.end() ? nullptr : &*found;
}

bool Store::has_group(std::string_view group) const {
    if (children.contains(group))
        return true;
    for (const Parameter &parameter : params)
        if (is_under(parameter.name, group))
            return true;
    for (const auto &[parent, list] : children)
        for (const ChildGroup &child : list)
            if (child.name == group)
                return true;
    return false;
}

Store &store() {
    static Store current;
    static std::optional<std::string> loadedPath;
    const char *variable = std::getenv("KELBRIN_DOUBLE_SCRIPT");
    std::string path = variable == nullptr ? "" : variable;
    if (loadedPath != path) {
        loadedPath = path;
        forget_names();
        current = load(path);
        if (!current.scriptError.empty())
            write_line("SCRIPT ERROR " + current.scriptError);
    }
    return current;
}

const FailEntry *failure_for(Store &store, std::string_view function, const char *firstText) {
    for (FailEntry &failure : store.fails) {
        if (failure.call != function)
            continue;
        if (failure.arg && (firstText == nullptr || *failure.arg != firstText))
            continue;
        ++failure.matched;
        if (failure.nth == 0 || failure.nth == failure.matched)
            return &failure;
    }
    return nullptr;
}

} // namespace kelbrin_double
