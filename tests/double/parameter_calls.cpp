// The store's parameter calls, served from the script.
#include <cstdlib>
#include <cstring>
#include <kelbrin.h>
#include <string>

#include "call_log.h"
#include "errors.h"
#include "script.h"
#include "support/log_format.h"
#include "trees.h"

using namespace kelbrin_double;
using test_logs::quoted;

namespace {

// The plain parameter's value, or a failure of the call.
const std::string *plain_value(Call &call, const char *name) {
    if (name == nullptr) {
        call.fail(errorNullArgument);
        return nullptr;
    }
    Parameter *parameter = store().find(name);
    if (parameter == nullptr)
        call.fail(errorUnknownName);
    else if (!parameter->value)
        call.fail(errorNotPlain);
    return call.failing() ? nullptr : &*parameter->value;
}

} // namespace

extern "C" {

// Fills the options even when failing: there is no error word to tell the
// caller, and unfilled words would only show up later as CORRUPTED.
void cli_resetOptions(ClientOptions *o) {
    Call call("cli_resetOptions", "", nullptr);
    if (o != nullptr)
        fill_options(o);
}

int32_t cli_sync(ClientOptions *o, int32_t *err) {
    Call call("cli_sync", "", nullptr, o, err, true);
    return call.code();
}

int32_t cli_readGroupFile(const char *path, ClientOptions *o, int32_t *err) {
    Call call("cli_readGroupFile", quoted(path), path, o, err, true);
    return call.code();
}

int32_t cli_setCustomParam(const char *name, const char *value, ClientOptions *o, int32_t *err) {
    Call call("cli_setCustomParam", quoted(name) + ", " + quoted(value), name, o, err, true);
    if (call.failing())
        return call.code();
    if (name == nullptr || value == nullptr)
        return call.fail(errorNullArgument);
    if (Parameter *parameter = store().find(name))
        *parameter = Parameter{name, value, nullptr, parameter->accessControl};
    else
        store().params.push_back(Parameter{name, value, nullptr, std::nullopt});
    return 0;
}

int32_t cli_deleteGroup(const char *group, ClientOptions *o, int32_t *err) {
    Call call("cli_deleteGroup", quoted(group), group, o, err, true);
    if (call.failing())
        return call.code();
    if (group == nullptr)
        return call.fail(errorNullArgument);
    Store &current = store();
    if (!current.has_group(group))
        return call.fail(errorUnknownName);
    std::erase_if(current.params,
                  [&](const Parameter &parameter) { return is_under(parameter.name, group); });
    current.children.erase(group);
    for (auto &[parent, list] : current.children)
        std::erase_if(list, [&](const ChildGroup &child) { return child.name == group; });
    return 0;
}

char *cli_getCustomParam(const char *name, ClientOptions *o, int32_t *err) {
    Call call("cli_getCustomParam", quoted(name), name, o, err, true);
    const std::string *value = call.failing() ? nullptr : plain_value(call, name);
    char *result = value != nullptr   ? strdup(value->c_str())
                   : call.failValue() ? strdup(call.failValue()->c_str())
                                      : nullptr;
    call.returns(quoted(result));
    return result;
}

int32_t cli_getCustomParamToBuf(const char *name, ClientOptions *o, int32_t *err, char *buffer,
                                int32_t size) {
    Call call("cli_getCustomParamToBuf", quoted(name) + ", " + std::to_string(size), name, o, err,
              true);
    if (call.failing())
        return call.code();
    if (buffer == nullptr || size < 0)
        return call.fail(errorNullArgument);
    const std::string *value = plain_value(call, name);
    if (value == nullptr)
        return call.code();
    std::strncpy(buffer, value->c_str(), static_cast<size_t>(size));
    return 0;
}

char *cli_getParamOption(const char *name, const char *option, ClientOptions *o, int32_t *err) {
    Call call("cli_getParamOption", quoted(name) + ", " + quoted(option), name, o, err, true);
    char *result = nullptr;
    if (!call.failing()) {
        Parameter *parameter = name == nullptr ? nullptr : store().find(name);
        if (name == nullptr || option == nullptr)
            call.fail(errorNullArgument);
        else if (parameter == nullptr)
            call.fail(errorUnknownName);
        else if (std::strcmp(option, "accessControl") == 0 && parameter->accessControl)
            result = strdup(parameter->accessControl->c_str());
    }
    call.returns(quoted(result));
    return result;
}

DataNode *cli_getComplexParam(const char *name, ClientOptions *o, int32_t *err) {
    Call call("cli_getComplexParam", quoted(name), name, o, err, true);
    DataNode *result = nullptr;
    if (!call.failing()) {
        Parameter *parameter = name == nullptr ? nullptr : store().find(name);
        if (name == nullptr)
            call.fail(errorNullArgument);
        else if (parameter == nullptr)
            call.fail(errorUnknownName);
        else if (parameter->value)
            call.fail(errorNotComplex);
        else
            try {
                result = tree_from_json(parameter->tree);
            } catch (const nlohmann::json::exception &) {
                call.fail(errorBadTree);
            }
    }
    call.returns(object_name(result));
    return result;
}

int32_t cli_setComplexParam(const char *name, DataNode *tree, ClientOptions *o, int32_t *err) {
    nlohmann::json copy = tree_to_json(tree);
    Call call("cli_setComplexParam", quoted(name) + ", " + compact(copy), name, o, err, true);
    if (call.failing())
        return call.code();
    if (name == nullptr)
        return call.fail(errorNullArgument);
    if (Parameter *parameter = store().find(name))
        *parameter = Parameter{name, std::nullopt, copy, parameter->accessControl};
    else
        store().params.push_back(Parameter{name, std::nullopt, copy, std::nullopt});
    return 0;
}

} // extern "C"
