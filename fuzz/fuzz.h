// What the fuzz targets share: a finding, the input cut at its NUL bytes,
// and the input as a file (an anonymous one in memory: nothing touches the
// disk, and each run starts from exactly the input).
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#define REQUIRE(condition) ((condition) ? (void)0 : __builtin_trap())

// "a\0b" gives "a" and "b".
inline std::vector<std::string> words_of(const uint8_t *data, size_t size) {
    std::vector<std::string> words(1);
    for (const uint8_t *byte = data; byte < data + size; byte++)
        *byte ? words.back().push_back(static_cast<char>(*byte)) : words.emplace_back().clear();
    return words;
}

inline const char *input_file(const uint8_t *data, size_t size) {
    static int descriptor = memfd_create("fuzz-input", 0);
    static std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    REQUIRE(ftruncate(descriptor, 0) == 0 && pwrite(descriptor, data, size, 0) == ssize_t(size));
    return path.c_str();
}
