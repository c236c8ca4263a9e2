// Growing a line buffer by a fixed step in linear time.
#pragma once

#include <cstddef>

// Makes the buffer's usable size (capacity) larger by step. The usable size
// grows by the caller's step, which can decide how much one read takes; the
// memory behind it (allocated) doubles, so that a long line is not copied
// over and over where realloc cannot extend a block in place. False, with
// nothing changed, when memory runs out.
bool grow_buffer(char **buffer, size_t *capacity, size_t *allocated, size_t step);
