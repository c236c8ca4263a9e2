// PLACEHOLDER until get and getlist land: takes the words, does nothing.
#include "output/parameter_reads.h"
#include "front/command_loop.h"
int command_get(char **, int count, int *taken) { *taken = count < 4 ? count : 4; return STATUS_OK; }
int command_getlist(char **, int, int *taken) { *taken = 4; return STATUS_OK; }
