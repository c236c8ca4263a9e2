// The marker line reader of upgradedynparams over any file. Group creation
// is answered here instead of by a store, with every outcome the reader
// handles, chosen by the input so that a finding reproduces.
#include <cstring>

#include "common/globals.h"
#include "fuzz.h"
#include "input/dynamic_groups.h"

static size_t inputSize;

// Stands in for the store library's function: the executable's definition wins.
extern "C" char *cli_createDynamicGroup(const char *parent, const char *templateName,
                                        ClientOptions *, int32_t *err) {
    // Both come from one line of the input, and the template without its newline.
    size_t parentLength = std::strlen(parent), templateLength = std::strlen(templateName);
    REQUIRE(parentLength <= inputSize && templateLength <= inputSize &&
            !std::strchr(templateName, '\n'));
    const int32_t outcomes[] = {0, KELBRIN_ERROR_GROUP_NUMBER_TAKEN, KELBRIN_ERROR_GROUP_LIMIT,
                                -13};
    *err = outcomes[(parentLength + templateLength + inputSize) % 4];
    return *err || parentLength % 3 == 0 ? nullptr : strdup("G0");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    unsetenv("REQUEST_METHOD");
    logToSyslog = 0; // reports go to standard error only
    inputSize = size;
    int status = upgrade_dynamic_file(input_file(data, size));
    REQUIRE(status == 0 || status == 2); // a marker line's status is never fatal
    return 0;
}
