// What a group file declares, checked and ready to be applied to the store.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelbrin {

// A place in a group file, counted from 1 (columns in bytes); 0 when the
// file was read without locating its declarations.
struct TextPosition {
    int line = 0;
    int column = 0;
};

// ":line:column" to follow a file's name in a message, or "" when unknown.
inline std::string place_suffix(const TextPosition &where) {
    if (where.line <= 0)
        return {};
    // append, not "text" + string: g++ 12 warns falsely on that at -O3 (-Wrestrict).
    return std::string(":").append(std::to_string(where.line)).append(":").append(std::to_string(where.column));
}

struct ParameterDeclaration {
    std::string name;       // one component
    bool complex = false;
    std::string value;      // the text, or the stored form of the tree
    std::optional<std::string> accessControl;
    int32_t readLevel = 0;
    int32_t writeLevel = 0;
    std::string pattern;    // empty: any value
    std::string mapTo;      // full name of the target; empty: not mapped
    // An export's current value, kept as value is; none: the default.
    std::optional<std::string> current;
};

// Where an export's dynamic group came from.
struct DynamicOrigin {
    std::string templateName;
    int32_t number = 0;
};

// A group or a parameter, in the order of the file.
struct Declaration {
    std::string fullName;
    bool isGroup = false;
    ParameterDeclaration parameter; // for a parameter
    TextPosition where;
    std::optional<DynamicOrigin> madeFrom; // for a dynamic group in an export
    std::vector<std::string> formerly;     // full names it was declared under before
};

struct TemplateDeclaration {
    std::string name;
    std::string parent; // full group name
    std::string prefix;
    int32_t maxCount = INT32_MAX;
    std::vector<ParameterDeclaration> parameters;
    TextPosition where;
    std::vector<std::string> formerly; // template names it had before
};

// A template's parameters as kept in the store, and back.
std::string parameters_to_text(const std::vector<ParameterDeclaration> &parameters);
std::vector<ParameterDeclaration> parameters_from_text(const std::string &text);

} // namespace kelbrin
