// Where an item stands in the tree, as a byte string that sorts in listing
// order: a group's path is a prefix of everything under it, declared items
// come in declaration order, then dynamic groups by number. So a group with
// everything under it, or its declared part, is one range of keys.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelbrin {

// The step below a parent to its declared child at this position (0, 1, ...).
std::string declared_step(uint64_t position);
// The step to a dynamic group: by number, then by serial among groups of the
// same number (made from different templates), in the order they were made.
std::string dynamic_step(uint64_t number, uint64_t serial);
// What every dynamic step of this number begins with, whatever its serial.
std::string dynamic_number_step(uint64_t number);

// Every path under path sorts below this bound.
std::string subtree_end(std::string_view path);
// Every path under path's declared children sorts below this bound, and
// every path under its dynamic groups above it.
std::string declared_end(std::string_view path);

// The first step of what follows a parent's path, taken apart.
struct Step {
    bool dynamic;
    uint64_t position; // the declared position, or the dynamic group's number
    uint64_t serial;   // dynamic groups only
};
// Nothing when the bytes do not begin with a well-formed step.
std::optional<Step> first_step(std::string_view path);
// The step at the front of path, dropped from there; nothing (and path
// left as it was) when the bytes do not begin with a well-formed step.
std::optional<Step> take_step(std::string_view &path);
// The last step of a path; nothing for the root's path or malformed bytes.
std::optional<Step> last_step(std::string_view path);

} // namespace kelbrin
