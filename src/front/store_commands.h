// The simple store commands: sync, readgroupfile, set, deletegroup.
#pragma once

int command_sync(char **words, int count, int *taken);
int command_readgroupfile(char **words, int count, int *taken);
int command_set(char **words, int count, int *taken);
int command_deletegroup(char **words, int count, int *taken);
