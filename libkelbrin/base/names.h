// Parameter and group names: "root" and dot-separated components of ASCII
// letters, digits and underscores. Validating them at declaration keeps any
// byte that could matter to a shell, PHP or HTML out of the store.
#pragma once

#include <string>
#include <string_view>

namespace kelbrin {

// Longest full name the store accepts, in bytes.
inline constexpr std::size_t maxNameBytes = 255;

bool is_valid_component(std::string_view component);
bool is_valid_full_name(std::string_view name);

// Lower-cased copy (ASCII only), the key names are matched under.
std::string fold(std::string_view name);

// "root.A.B" -> "B"; "root" -> "root".
std::string_view last_component(std::string_view name);
// "root.A.B" -> "root.A"; "root" -> "".
std::string_view parent_name(std::string_view name);

} // namespace kelbrin
