// The usage text, shown for a command line that cannot be read.
#pragma once

// Writes the usage text to standard error in one write.
void usage();
