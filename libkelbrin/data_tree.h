// Data trees: the drep_* node operations (in data_tree.cpp, exported from
// there) and the conversion between trees and their stored text.
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <string>
#include <string_view>

#include "store/kelbrin.h"

namespace kelbrin {

// Deepest tree the store accepts; also what stops a cyclic tree.
inline constexpr int maxTreeDepth = 64;
// Most nodes in one tree; also limits the work a tree with shared nodes can cause.
inline constexpr std::size_t maxTreeNodes = 100000;
// Largest stored text of one tree, in bytes.
inline constexpr std::size_t maxTreeBytes = 1 << 20;

// The stored text of a tree. Throws BAD_TREE or VALUE_TOO_LONG.
std::string serialise_tree(const DataNode *root);

// A new tree from its stored text, in one malloc block with the root first,
// so that the caller's free of the root releases all of it. Throws BAD_TREE.
DataNode *deliver_tree(std::string_view stored);

// The stored text of a tree written in a group file: strings, integers,
// null, lists and objects. Throws FILE_INVALID.
std::string stored_form_of(const nlohmann::ordered_json &value);

} // namespace kelbrin
