// Writes a complex value, held as a data tree, as complex value text.
#pragma once

#include <string>

#include <kelbrin.h>

// Appends the text of node to buffer. shortName (the part of the parameter's
// name after its last dot) starts every entry of a hash at depth 1; the top
// node is at depth 1. The buffer grows, so no value is cut.
void render_complex_value(std::string &buffer, DataNode *node, const char *shortName, int depth);
