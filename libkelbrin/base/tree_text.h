// The text a complex value is stored as: its limits, and its writer from a
// tree or from a group file's JSON. Its reader is stored_tree_reader.h.
#pragma once

#include <kelbrin.h>

#include <nlohmann/json.hpp>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kelbrin {

// Deepest tree the store accepts; also what stops a cyclic tree.
inline constexpr int maxTreeDepth = 64;
// Most nodes in one tree; also limits the work a tree with shared nodes can cause.
inline constexpr std::size_t maxTreeNodes = 100000;
// Largest stored text of one tree, in bytes.
inline constexpr std::size_t maxTreeBytes = 1 << 20;

// The stored text of a tree. Throws BAD_TREE or VALUE_TOO_LONG.
std::string serialise_tree(const DataNode *root);

// The stored text of a tree written in a group file: strings (UTF-8, as a
// parsed file's are), integers, null, lists and objects. Throws FILE_INVALID or FILE_TOO_DEEP, with a reason.
std::string stored_form_of(const nlohmann::ordered_json &value);

// A stored tree as a group file writes it. Throws BAD_TREE for a text that
// does not read back.
nlohmann::ordered_json natural_form_of(std::string_view stored);

// The group file's form of a stored tree, as compact JSON text, when it
// gives back exactly that tree; none when the tree holds what that form
// cannot say (a fresh node, a scalar of another subtype or type name, a key
// twice in one hash).
std::optional<std::string> exact_natural_text(std::string_view stored);

// The stored text of a tree written in its stored form, as the store itself
// writes it. Throws BAD_TREE or VALUE_TOO_LONG.
std::string canonical_stored_form(const nlohmann::ordered_json &stored);

} // namespace kelbrin
