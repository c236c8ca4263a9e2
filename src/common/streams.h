// Opening and closing the streams that commands read and write.
#pragma once

#include <cstdio>

// "-" is standard input for mode "r" and standard output otherwise; null
// path or mode gives null. A file that cannot be opened is reported.
FILE *open_stream(const char *path, const char *mode);

// Closes a stream from open_stream unless it is standard input or output.
void close_stream(FILE *stream);
