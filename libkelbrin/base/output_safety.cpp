#include "base/output_safety.h"

#include <algorithm>

namespace kelbrin {

std::vector<UnsafeCharacter> characters_outputs_cannot_carry(std::string_view value) {
    static constexpr UnsafeCharacter unsafe[] = {{"PHP", '$'}, {"FORM", '\''}, {"FORM", '&'}};
    std::vector<UnsafeCharacter> found;
    for (const UnsafeCharacter &u : unsafe)
        if (value.find(u.character) != std::string_view::npos)
            found.push_back(u);
    return found;
}

std::string variable_name(std::string_view fullName) {
    std::string name(fullName);
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
}

} // namespace kelbrin
