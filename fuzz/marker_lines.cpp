// libFuzzer target: the marker line reader of upgradedynparams over any file.
// Group creation is answered here instead of by a store: the target is the
// reading of lines and the cutting of tokens, and a store would only make
// each run slow and each run depend on the ones before. The stand-in checks
// what reaches it and answers with every outcome the worker handles.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "common/globals.h"
#include "input/dynamic_groups.h"
#include "input_file.h"

static size_t inputSize;

// Overrides the store library's function (the executable's definition wins).
extern "C" char *cli_createDynamicGroup(const char *parent, const char *templateName,
                                         ClientOptions *, int32_t *err) {
    if (parent == nullptr || templateName == nullptr)
        __builtin_trap();
    size_t parentLength = std::strlen(parent), templateLength = std::strlen(templateName);
    // Both come from one line of the input: neither can be longer than it,
    // and the template never keeps the line's newline.
    if (parentLength > inputSize || templateLength > inputSize ||
        std::memchr(templateName, '\n', templateLength) != nullptr)
        __builtin_trap();
    // The outcome follows from the input, so a crash reproduces.
    static const int32_t outcomes[] = {0, KELBRIN_ERROR_GROUP_NUMBER_TAKEN,
                                       KELBRIN_ERROR_GROUP_LIMIT, -13};
    *err = outcomes[(parentLength + templateLength + inputSize) % 4];
    if (*err != 0)
        return nullptr;
    return parentLength % 3 == 0 ? nullptr : strdup("G0");
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    unsetenv("REQUEST_METHOD");
    logToSyslog = 0; // the reports go to standard error only, not to the machine's log
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    inputSize = size;
    int status = upgrade_dynamic_file(input_file_path(data, size));
    if (status != 0 && status != 2)
        __builtin_trap(); // a file's status is that of a marker line: never fatal here
    return 0;
}
