#include "base/names.h"

namespace kelbrin {

namespace {
bool is_name_byte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
} // namespace

bool is_valid_component(std::string_view component) {
    if (component.empty())
        return false;
    for (char c : component)
        if (!is_name_byte(c))
            return false;
    return true;
}

bool is_valid_full_name(std::string_view name) {
    if (name.size() > maxNameBytes)
        return false;
    std::size_t start = 0;
    bool first = true;
    for (;;) {
        std::size_t dot = name.find('.', start);
        std::string_view component = name.substr(start, dot == std::string_view::npos ? dot : dot - start);
        if (first ? fold(component) != "root" : !is_valid_component(component))
            return false;
        if (dot == std::string_view::npos)
            return true;
        start = dot + 1;
        first = false;
    }
}

std::string fold(std::string_view name) {
    std::string folded(name);
    for (char &c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::string_view last_component(std::string_view name) {
    std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

std::string_view parent_name(std::string_view name) {
    std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(0, dot);
}

} // namespace kelbrin
