// PLACEHOLDER until getgroup and getgrouplist land: takes the words, does nothing.
#include "output/group_reads.h"
#include "front/command_loop.h"
int command_getgroup(char **, int count, int *taken) { *taken = count < 4 ? count : 4; return STATUS_OK; }
int command_getgrouplist(char **, int count, int *taken) { *taken = count < 4 ? count : 4; return STATUS_OK; }
