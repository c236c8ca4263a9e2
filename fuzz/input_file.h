// Hands a fuzz input to code that reads a file by path: the bytes go into an
// anonymous in-memory file, named by its /proc/self/fd path, so that nothing
// is written to disk and each run starts from exactly the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

inline const char *input_file_path(const uint8_t *data, size_t size) {
    static int descriptor = -1;
    static char path[64];
    if (descriptor < 0) {
        descriptor = memfd_create("fuzz-input", 0);
        if (descriptor < 0)
            std::abort();
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", descriptor);
    }
    if (ftruncate(descriptor, 0) != 0)
        std::abort();
    for (size_t done = 0; done < size;) {
        ssize_t written = pwrite(descriptor, data + done, size - done, (off_t)done);
        if (written <= 0)
            std::abort();
        done += (size_t)written;
    }
    return path;
}
