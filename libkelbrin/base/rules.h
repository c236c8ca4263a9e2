// The rules every door of the store keeps alike: a write, a group-file load,
// check, import and verify call these, so that what one accepts no later
// call refuses.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/errors.h"

namespace kelbrin {

// Longest plain value the store keeps, in bytes: current values and defaults.
inline constexpr std::size_t maxValueBytes = 256 * 1024;
// Mappings followed before a read gives up with MAPPING_LOOP.
inline constexpr int maxMappingHops = 8;

// What a door refuses, and why in words.
struct Refusal {
    Error code;
    std::string cause;
};

// Why a plain value (what: "default", "value", "current value") cannot be
// kept under the pattern (empty: any value): too long, or not matching it.
std::optional<Refusal> plain_value_refusal(const char *what, const std::string &value,
                                           const std::string &pattern);

// One name on a chain of mappings, as the door's own source knows it.
struct MappingLink {
    bool exists = false;
    bool isGroup = false;
    std::string mapTo; // empty: a parameter that maps nowhere
};

// Follows a parameter's mappings as a read would; lookup gives each target.
// nullopt when the chain ends at a parameter; else why not, the first target
// named in the cause (missing: how a door says a first target is absent).
std::optional<std::string>
mapping_refusal(const std::string &mapTo, const std::function<MappingLink(const std::string &)> &lookup,
                const char *missing = "does not exist");

// Whether a template with that maximum takes another group beside count.
inline bool takes_another_group(int64_t count, int64_t maxCount) { return count < maxCount; }

} // namespace kelbrin
