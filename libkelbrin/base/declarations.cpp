#include "base/declarations.h"

#include "base/errors.h"

namespace kelbrin {

using json = nlohmann::json;

std::string parameters_to_text(const std::vector<ParameterDeclaration> &parameters) {
    json list = json::array();
    for (const ParameterDeclaration &p : parameters) {
        list.push_back({{"name", p.name},
                        {"complex", p.complex},
                        {"value", p.value},
                        {"accessControl", p.accessControl ? json(*p.accessControl) : json(nullptr)},
                        {"readLevel", p.readLevel},
                        {"writeLevel", p.writeLevel},
                        {"pattern", p.pattern}});
    }
    return list.dump();
}

std::vector<ParameterDeclaration> parameters_from_text(const std::string &text) {
    json list = json::parse(text, nullptr, false);
    if (!list.is_array())
        throw StoreError{STORE_FAILED};
    std::vector<ParameterDeclaration> parameters;
    try {
        for (const json &item : list) {
            ParameterDeclaration p;
            p.name = item.at("name").get<std::string>();
            p.complex = item.at("complex").get<bool>();
            p.value = item.at("value").get<std::string>();
            if (item.at("accessControl").is_string())
                p.accessControl = item.at("accessControl").get<std::string>();
            p.readLevel = item.at("readLevel").get<int32_t>();
            p.writeLevel = item.at("writeLevel").get<int32_t>();
            p.pattern = item.at("pattern").get<std::string>();
            parameters.push_back(std::move(p));
        }
    } catch (const json::exception &) {
        throw StoreError{STORE_FAILED};
    }
    return parameters;
}

} // namespace kelbrin
