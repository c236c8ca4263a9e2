// getgroup and getgrouplist: walking a group of the store.
#pragma once

int command_getgroup(char **words, int count, int *taken);
int command_getgrouplist(char **words, int count, int *taken);
