#include "base/rules.h"

#include "base/json_text.h"
#include "base/pattern.h"

namespace kelbrin {

std::optional<Refusal> plain_value_refusal(const char *what, const std::string &value,
                                           const std::string &pattern) {
    if (value.size() > maxValueBytes)
        return Refusal{VALUE_TOO_LONG, std::string(what).append(" is longer than 256 KiB")};
    if (!pattern.empty() && !matches_pattern(pattern, value))
        return Refusal{VALUE_REJECTED, std::string(what)
                                           .append(" ")
                                           .append(quoted_for_message(value))
                                           .append(" does not match the pattern ")
                                           .append(quoted_for_message(pattern))};
    return std::nullopt;
}

std::optional<std::string>
mapping_refusal(const std::string &mapTo, const std::function<MappingLink(const std::string &)> &lookup,
                const char *missing) {
    std::string target = mapTo;
    // The parameter itself is the first hop's start: a read follows at most
    // maxMappingHops mappings.
    for (int hops = 1;; ++hops) {
        MappingLink link = lookup(target);
        if (!link.exists || link.isGroup)
            return hops == 1 ? "maps to " + mapTo + (link.exists ? ", which is a group" : ", which " + std::string(missing))
                             : "its mappings lead to no parameter";
        if (link.mapTo.empty())
            return std::nullopt;
        if (hops == maxMappingHops)
            return "its mappings go round in a circle, or on for more than 8 steps";
        target = link.mapTo;
    }
}

} // namespace kelbrin
