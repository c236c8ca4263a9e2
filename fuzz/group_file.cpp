// libFuzzer target: the store's group file reader over any file. A file it
// refuses must be refused with one of the reader's own errors; a template it
// accepts must survive the trip through the text kept in the store.
#include <cstdint>

#include "declarations.h"
#include "errors.h"
#include "group_file.h"
#include "input_file.h"

using namespace kelbrin;

static bool same_parameter(const ParameterDeclaration &a, const ParameterDeclaration &b) {
    return a.name == b.name && a.complex == b.complex && a.value == b.value &&
           a.accessControl == b.accessControl && a.readLevel == b.readLevel &&
           a.writeLevel == b.writeLevel && a.pattern == b.pattern && a.mapTo == b.mapTo;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    GroupFile file;
    try {
        file = read_group_file(input_file_path(data, size));
    } catch (const StoreError &error) {
        if (error.code != FILE_UNREADABLE && error.code != FILE_SYNTAX &&
            error.code != FILE_TOO_DEEP && error.code != FILE_INVALID)
            __builtin_trap();
        return 0;
    }
    // Any other exception escapes and is reported as a finding.
    for (const TemplateDeclaration &declared : file.templates) {
        std::vector<ParameterDeclaration> kept =
            parameters_from_text(parameters_to_text(declared.parameters));
        if (kept.size() != declared.parameters.size())
            __builtin_trap();
        for (size_t i = 0; i < kept.size(); i++)
            if (!same_parameter(kept[i], declared.parameters[i]))
                __builtin_trap();
    }
    return 0;
}
