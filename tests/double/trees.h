// Data trees between the C records of the interface and their JSON form:
// {"hash": [[key, node], ...]}, {"list": [...]}, {"custom": text},
// {"string": text}, {"integer": n}, {"empty": null}, {"scalar": subtype},
// {"kind": kind}, {"none": null}, and null for a null pointer.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include <kelbrin.h>

namespace kelbrin_double {

nlohmann::json tree_to_json(const DataNode *node);
// A new tree allocated with malloc, its nodes named in pre-order.
DataNode *tree_from_json(const nlohmann::json &tree);
// Compact JSON, keys in chain order.
std::string compact(const nlohmann::json &tree);

// A zeroed node of kind 0, named.
DataNode *new_node();
char *copy_text(const char *text);

} // namespace kelbrin_double
