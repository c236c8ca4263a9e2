// Full parameter names from a group and the rest of a name.
#pragma once

// "root.<group>.<rest>" in newly allocated memory, or null when it cannot be
// allocated.
char *join_full_name(const char *group, const char *rest);
