#include "input/buffer_growth.h"

#include <cstdlib>

bool grow_buffer(char **buffer, size_t *capacity, size_t *allocated, size_t step) {
    size_t needed = *capacity + step;
    if (needed > *allocated) {
        size_t doubled = 2 * *allocated > needed ? 2 * *allocated : needed;
        char *grown = static_cast<char *>(std::realloc(*buffer, doubled));
        if (grown == nullptr)
            return false;
        *buffer = grown;
        *allocated = doubled;
    }
    *capacity = needed;
    return true;
}
