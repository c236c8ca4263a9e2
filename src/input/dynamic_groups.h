// addgroup and upgradedynparams: creating dynamic groups from templates.
#pragma once

// Creates one group under the parent from the template, asking for the number
// (-1: the store picks one), and prints its full name on standard output.
// Returns 0, 2 after a reported failure, or 1 when parent or template is null.
int add_group(const char *parent, int number, const char *templateName);

// Creates one group for each marker line of the file ("-": standard input).
// Returns the status of the last marker line, 0 when there is none.
int upgrade_dynamic_file(const char *path);

// Reads the file, or every regular file of the directory tree depth first in
// directory order, skipping symbolic links. Returns the status of the last
// entry that gave one; 1 stops the whole walk.
int handle_upgrade_dynamicfile(const char *path);

int command_addgroup(char **words, int count, int *taken);
int command_upgradedynparams(char **words, int count, int *taken);
