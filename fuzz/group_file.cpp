// The store's group file reader over any file: a file it refuses is refused
// with one of the reader's own errors.
#include "group_file.h"
#include "errors.h"
#include "fuzz.h"

using namespace kelbrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    try {
        read_group_file(input_file(data, size));
    } catch (const StoreError &error) {
        REQUIRE(error.code <= FILE_UNREADABLE && error.code >= FILE_TOO_DEEP);
    }
    return 0;
}
