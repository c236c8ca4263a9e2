// Logical lines of a parameter file: physical lines joined while braces are
// open or two backslashes end the line.
#pragma once

#include <cstddef>
#include <cstdio>

struct logical_line_reader {
    FILE *stream;
    char *buffer;     // the logical line read last, terminated
    size_t capacity;  // grows, never shrinks, while the file is read
    size_t allocated; // the buffer's real size, at least capacity
    size_t length;
    bool complex; // a "{" was counted in the line: it belongs to a complex value
};

// Allocates the line buffer; false when it cannot be allocated.
bool start_logical_lines(logical_line_reader *reader, FILE *stream);

// Reads the next logical line into the buffer (empty at the end of the
// file); false when the buffer cannot be grown.
bool read_logical_line(logical_line_reader *reader);

void finish_logical_lines(logical_line_reader *reader);
