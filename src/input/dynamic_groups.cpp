// PLACEHOLDER until addgroup and upgradedynparams land: takes the words, does nothing.
#include "input/dynamic_groups.h"
#include "front/command_loop.h"
#include <cstring>
int command_addgroup(char **words, int, int *taken) { *taken = (!std::strcmp(words[2], "--number") || !std::strcmp(words[2], "-number")) ? 5 : 3; return STATUS_OK; }
int command_upgradedynparams(char **, int, int *taken) { *taken = 2; return STATUS_OK; }
