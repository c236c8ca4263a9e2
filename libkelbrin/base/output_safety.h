// What kelbrinclient's PHP and FORM outputs cannot carry, their bytes being
// fixed: PHP interpolates "$" in its double-quoted strings (so "${...}" runs
// code), and an HTML parser ends a FORM value at its first "'" and decodes
// "&" references. Names become variables with their dots turned to "_".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelbrin {

struct UnsafeCharacter {
    const char *output; // "PHP" or "FORM"
    char character;
};

// Each output and character of value that the output would not give back
// as it is, once for each character.
std::vector<UnsafeCharacter> characters_outputs_cannot_carry(std::string_view value);

// The SCRIPT and PHP variable a parameter is written as: root.Net.IP is root_Net_IP.
std::string variable_name(std::string_view fullName);

} // namespace kelbrin
