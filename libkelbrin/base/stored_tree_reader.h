// Reading a complex value's stored text back into a tree.
#pragma once

#include <kelbrin.h>

#include <string_view>

namespace kelbrin {

// A new tree from its stored text, in one malloc block with the root first,
// so that the caller's free of the root releases all of it. Throws BAD_TREE.
DataNode *deliver_tree(std::string_view stored);

} // namespace kelbrin
