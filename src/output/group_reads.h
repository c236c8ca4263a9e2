// getgroup and getgrouplist: walking a group of the store.
#pragma once

int command_getgroup(char **words, int count, int *taken);
int command_getgrouplist(char **words, int count, int *taken);

// Writes every parameter of the group to the file in the named output type;
// returns a command status. Complex values show only in NAMEVALUESECTIONS.
int print_group(const char *group, const char *file, const char *typeName);
