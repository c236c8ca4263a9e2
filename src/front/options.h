// The command line before the first command: legacy words and options.
#pragma once

// Applies the five legacy single-dash words and puts the marker "-z" in their
// place (and in place of their value words), in the vector itself.
void rewrite_legacy_words(int argc, char **argv);

// Parses the options with getopt_long and returns the index of the first
// command word. Sets *skipCgiDetection for --nocgi. On an unknown option or a
// missing option argument it writes the usage text and exits with 1.
int parse_options(int argc, char **argv, int *skipCgiDetection);
