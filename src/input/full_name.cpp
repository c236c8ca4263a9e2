#include "input/full_name.h"

#include <cstdio>

char *join_full_name(const char *group, const char *rest) {
    char *fullName = nullptr;
    if (asprintf(&fullName, "root.%s.%s", group, rest) < 0)
        return nullptr;
    return fullName;
}
