#include "files/shared_variables.h"

#include <string_view>

#include "base/output_safety.h"

namespace kelbrin {

void SharedVariables::add(const std::string &fileName, const Declaration &declaration,
                          std::vector<Problem> &warnings) {
    if (declaration.isGroup || declaration.parameter.complex)
        return;
    if (files_.empty() || files_.back() != fileName)
        files_.push_back(fileName);
    auto [first, added] = variables_.try_emplace(
        declaration.fullName, First{static_cast<uint32_t>(files_.size() - 1), declaration.where});
    if (added)
        return;
    // The same name again is the same parameter, declared again or updated.
    std::string_view firstName = variables_.kept_name(declaration.fullName);
    if (firstName != declaration.fullName)
        warnings.push_back({OK, declaration.where, declaration.fullName,
                            "warning: the SCRIPT and PHP outputs write it as " + variable_name(declaration.fullName) +
                                ", as they do " + std::string(firstName) + " (" + files_[first->file] +
                                place_suffix(first->where) + ")"});
}

} // namespace kelbrin
