// Walks over groups, and dynamic groups made from the script's templates.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <kelbrin.h>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "call_log.h"
#include "errors.h"
#include "script.h"
#include "support/log_format.h"

using namespace kelbrin_double;
using test_logs::quoted;

namespace {

// The six public fields come first, as the interface allows; the rest is the
// snapshot that the walk goes through.
struct Walk {
    GroupContext context{};
    std::vector<ChildGroup> entries;
    size_t next = 0;
};
// The context's address is the walk's, which the interface's callers rely on.
static_assert(std::is_standard_layout_v<Walk>);

void replace_text(char *&field, const std::string &text) {
    std::free(field);
    field = strdup(text.c_str());
}

GroupContext *start_walk(Call &call, std::vector<ChildGroup> entries) {
    auto *walk = new (std::nothrow) Walk{};
    if (walk == nullptr) {
        call.fail(errorNullArgument);
        return nullptr;
    }
    walk->entries = std::move(entries);
    name_new_object(walk);
    return &walk->context;
}

// Moves to the next entry, setting end when there is none.
int32_t advance(Call &call, GroupContext *context, bool children) {
    if (call.failing())
        return call.code();
    if (context == nullptr)
        return call.fail(errorNullArgument);
    auto *walk = reinterpret_cast<Walk *>(context);
    if (walk->next >= walk->entries.size()) {
        context->end = 1;
        return 0;
    }
    const ChildGroup &entry = walk->entries[walk->next++];
    if (children) {
        replace_text(context->groupName, entry.name);
        replace_text(context->groupValue, entry.value);
    } else {
        replace_text(context->paramName, entry.name);
    }
    return 0;
}

Template *find_template(const char *parent, const char *name) {
    auto &templates = store().templates;
    auto found = std::find_if(templates.begin(), templates.end(), [&](const Template &pattern) {
        return pattern.parent == parent && pattern.name == name;
    });
    return found == templates.end() ? nullptr : &*found;
}

bool is_taken(const Template &pattern, int number) {
    return std::find(pattern.taken.begin(), pattern.taken.end(), number) != pattern.taken.end();
}

// The new group's short name, or a failure of the call.
std::optional<std::string> create_group(Call &call, const char *parent, const char *name,
                                        const ClientOptions *o) {
    if (parent == nullptr || name == nullptr || o == nullptr) {
        call.fail(errorNullArgument);
        return std::nullopt;
    }
    Template *pattern = find_template(parent, name);
    if (pattern == nullptr) {
        call.fail(errorUnknownTemplate);
        return std::nullopt;
    }
    if (static_cast<int>(pattern->taken.size()) >= pattern->max) {
        call.fail(KELBRIN_ERROR_GROUP_LIMIT);
        return std::nullopt;
    }
    int number = o->groupNumber;
    if (number == -1)
        for (number = 1; is_taken(*pattern, number); ++number) {
        }
    else if (is_taken(*pattern, number)) {
        call.fail(KELBRIN_ERROR_GROUP_NUMBER_TAKEN);
        return std::nullopt;
    }
    pattern->taken.push_back(number);
    std::string shortName = pattern->prefix + std::to_string(number);
    store().children[pattern->parent].push_back({pattern->parent + "." + shortName, shortName});
    return shortName;
}

} // namespace

extern "C" {

GroupContext *cli_getParamsInGroup(const char *group, ClientOptions *o, int32_t *err) {
    Call call("cli_getParamsInGroup", quoted(group), group, o, err, true);
    GroupContext *context = nullptr;
    if (!call.failing()) {
        if (group == nullptr)
            call.fail(errorNullArgument);
        else if (!store().has_group(group))
            call.fail(errorUnknownName);
        else {
            std::vector<ChildGroup> names;
            for (const Parameter &parameter : store().params)
                if (is_under(parameter.name, group))
                    names.push_back({parameter.name, ""});
            context = start_walk(call, std::move(names));
        }
    }
    call.returns(object_name(context));
    return context;
}

GroupContext *cli_getChildGroupsInGroup(const char *group, ClientOptions *o, int32_t *err) {
    Call call("cli_getChildGroupsInGroup", quoted(group), group, o, err, true);
    GroupContext *context = nullptr;
    if (!call.failing()) {
        auto found = group == nullptr ? store().children.end() : store().children.find(group);
        if (group == nullptr)
            call.fail(errorNullArgument);
        else if (found == store().children.end())
            call.fail(errorUnknownName);
        else
            context = start_walk(call, found->second);
    }
    call.returns(object_name(context));
    return context;
}

int32_t cli_getParamInGroup(GroupContext *c, ClientOptions *o, int32_t *err) {
    Call call("cli_getParamInGroup", object_name(c), nullptr, o, err, true);
    return advance(call, c, false);
}

int32_t cli_getChildGroupInGroup(GroupContext *c, ClientOptions *o, int32_t *err) {
    Call call("cli_getChildGroupInGroup", object_name(c), nullptr, o, err, true);
    return advance(call, c, true);
}

void cli_cleanupGroupContext(GroupContext *c) {
    Call call("cli_cleanupGroupContext", object_name(c), nullptr);
    if (c == nullptr || call.failing())
        return;
    std::free(c->paramName);
    std::free(c->groupName);
    std::free(c->groupValue);
    delete reinterpret_cast<Walk *>(c);
}

char *cli_createDynamicGroup(const char *parent, const char *templateName, ClientOptions *o,
                             int32_t *err) {
    Call call("cli_createDynamicGroup", quoted(parent) + ", " + quoted(templateName), parent, o,
              err, true);
    std::optional<std::string> shortName =
        call.failing() ? call.failValue() : create_group(call, parent, templateName, o);
    char *result = shortName ? strdup(shortName->c_str()) : nullptr;
    call.returns(quoted(result));
    return result;
}

} // extern "C"
