// show [--json] NAME: a parameter's or group's declaration and state, as
// the store keeps them, for people or (with --json) for scripts.
#include <cstdio>

#include "kelbrinctl/commands.h"
#include "store/descriptions.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/store_access.h"
#include "base/tree_text.h"

namespace kelbrinctl {

namespace {

using json = nlohmann::ordered_json;
using kelbrin::Description;

// Width of the labels column in the text form.
constexpr int labelWidth = 16;

// One line of the text form and one member of the JSON form; a field
// without a key or label shows in one form only.
struct Field {
    const char *key;
    const char *label;
    json value;
    bool quoted = false; // in the text form, a value's exact text, as JSON
};

std::string as_json(const json &value, int indent = -1) {
    return value.dump(indent, ' ', false, json::error_handler_t::replace);
}

std::string error_text(kelbrin::Error code) {
    return reason_of(kelbrin::StoreError{code});
}

// A value as it is kept: text, or for a complex parameter its tree.
Field value_field(const char *key, const char *label, bool complex, const std::string &stored) {
    if (!complex)
        return {key, label, stored, true};
    try {
        return {key, label, kelbrin::natural_form_of(stored)};
    } catch (const kelbrin::StoreError &error) {
        return {key, label, "(unreadable: " + error_text(error.code) + ")"};
    }
}

void add_parameter_fields(const Description &description, std::vector<Field> &fields) {
    const kelbrin::Item &item = description.item;
    bool mapped = !item.mapTo.empty();
    fields.push_back({"kind", "kind",
                      mapped         ? "mapped parameter"
                      : item.complex ? "complex parameter"
                                     : "parameter"});
    if (mapped) {
        fields.push_back({"mapTo", "maps to", item.mapTo});
        if (description.target.refusal != kelbrin::OK)
            fields.push_back(
                {"valueError", "value", "none: " + error_text(description.target.refusal)});
        else
            fields.push_back(value_field("value", "value", description.target.value.complex,
                                         description.target.value.value));
    } else {
        fields.push_back(value_field("value", "value", item.complex, item.value));
    }
    if (description.declaredDefault)
        fields.push_back(
            value_field("default", "default", item.complex, *description.declaredDefault));
    if (!item.pattern.empty())
        fields.push_back({"pattern", "pattern", item.pattern});
    fields.push_back({"readLevel", "read level", item.readLevel});
    fields.push_back({"writeLevel", "write level", item.writeLevel});
    if (item.accessControl)
        fields.push_back({"accessControl", "access control", *item.accessControl});
    if (description.templateName)
        fields.push_back({"template", "template", *description.templateName});
}

void add_group_fields(const Description &description, std::vector<Field> &fields) {
    fields.push_back({"kind", "kind", description.item.dynamic ? "dynamic group" : "group"});
    if (description.templateName) {
        fields.push_back({"template", "template", *description.templateName});
        fields.push_back({"number", "number", description.number});
    }
    fields.push_back({"parameters", "parameters", description.parameterCount});
    fields.push_back({"groups", "groups", description.groupCount});
    json templates = json::array();
    for (const kelbrin::TemplateCount &made : description.templates) {
        bool limited = made.maxCount != INT32_MAX;
        templates.push_back({{"template", made.name},
                             {"prefix", made.prefix},
                             {"max", limited ? json(made.maxCount) : json(nullptr)},
                             {"count", made.count}});
        std::string line =
            made.name + " (prefix \"" + made.prefix + "\"): " + std::to_string(made.count) +
            (limited ? " of at most " + std::to_string(made.maxCount) : " (no maximum)");
        fields.push_back({nullptr, "template for", line});
    }
    fields.push_back({"templates", nullptr, templates});
}

void print_text(const std::vector<Field> &fields) {
    for (const Field &field : fields) {
        if (!field.label)
            continue;
        std::string value = field.value.is_string() && !field.quoted
                                ? field.value.get<std::string>()
                                : as_json(field.value);
        std::printf("%-*s %s\n", labelWidth, (std::string(field.label) + ":").c_str(),
                    printable(value).c_str());
    }
}

void print_json(const std::vector<Field> &fields) {
    json object = json::object();
    for (const Field &field : fields)
        if (field.key)
            object[field.key] = field.value;
    std::printf("%s\n", as_json(object, 2).c_str());
}

int show(const Invocation &invocation) {
    const std::string &name = invocation.operands[0];
    require_full_name("show", name, Named::ParameterOrGroup);
    std::string path = store_path_for(invocation.store);
    std::unique_ptr<kelbrin::Database> store = open_store_to_read(path);
    store->begin_reading();
    Description description;
    try {
        description = kelbrin::describe(*store, name);
    } catch (const kelbrin::StoreError &error) {
        if (error.code == kelbrin::UNKNOWN_PARAMETER)
            throw Failure("show: no parameter or group " + name + " in store " + path);
        throw Failure("show: " + name + " in store " + path + ": " + reason_of(error));
    }
    std::vector<Field> fields{{"name", "name", description.item.name}};
    if (description.item.isGroup)
        add_group_fields(description, fields);
    else
        add_parameter_fields(description, fields);
    if (invocation.has("--json"))
        print_json(fields);
    else
        print_text(fields);
    return exitDone;
}

constexpr Option options[] = {{"--json"}};

} // namespace

extern const Command showCommand{
    .name = "show",
    .options = options,
    .operands = "NAME",
    .fewest = 1,
    .most = 1,
    .summary = "a parameter's or group's declaration and state",
    .run = show,
};

} // namespace kelbrinctl
