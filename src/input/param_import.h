// setparams: importing a parameter file.
#pragma once

int command_setparams(char **words, int count, int *taken);
