// get and getlist: reading plain parameters by full name.
#pragma once

int command_get(char **words, int count, int *taken);
int command_getlist(char **words, int count, int *taken);
