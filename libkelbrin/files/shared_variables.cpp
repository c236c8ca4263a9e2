#include "files/shared_variables.h"

#include "base/output_safety.h"

namespace kelbrin {

void SharedVariables::add(const std::string &fileName, const Declaration &declaration,
                          std::vector<Problem> &warnings) {
    if (declaration.isGroup || declaration.parameter.complex)
        return;
    std::string variable = variable_name(declaration.fullName);
    auto [first, added] =
        variables_.try_emplace(variable, First{declaration.fullName, fileName + place_suffix(declaration.where)});
    // The same name again is the same parameter, declared again or updated.
    if (!added && first->second.name != declaration.fullName)
        warnings.push_back({OK, declaration.where, declaration.fullName,
                            "warning: the SCRIPT and PHP outputs write it as " + variable + ", as they do " +
                                first->second.name + " (" + first->second.place + ")"});
}

} // namespace kelbrin
