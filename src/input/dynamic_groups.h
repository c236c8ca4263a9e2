// addgroup and upgradedynparams: creating dynamic groups from templates.
#pragma once

int command_addgroup(char **words, int count, int *taken);
int command_upgradedynparams(char **words, int count, int *taken);
