// The seven output types of the read commands and the writers of their lines.
#pragma once

#include <cstdint>
#include <cstdio>

#include <kelbrin.h>

enum OutputType : int32_t {
    OUTPUT_SCRIPT = 0,
    OUTPUT_VALUE = 1,
    OUTPUT_NAMEVALUE = 2,
    OUTPUT_PHP = 3,
    OUTPUT_NAMEVALUESECTIONS = 4,
    OUTPUT_FORM = 5,
    OUTPUT_RAW = 6,
};

// Sets the type and the comment prefix ("#", or "//" for PHP) that starts
// banners and error messages. Returns 0, or 1 with neither set; an unknown
// name is reported, a null one is not.
int parse_output_type(const char *typeName, OutputType *type, const char **commentPrefix);

// Writes one parameter line. SCRIPT, PHP and FORM rewrite the name in place.
void print_value(FILE *stream, OutputType type, char *name, const char *value,
                 ClientOptions *options);

// The aligned line of NAMEVALUESECTIONS: the name, spaces up to a width of
// 25 (none for longer names), then the value in double quotes.
void write_aligned_line(FILE *stream, const char *name, const char *value);

// Writes one child group line of getgrouplist; cuts the name at its last dot
// in place.
void print_group_entry(FILE *stream, OutputType type, char *name, const char *value,
                       ClientOptions *options);

// "<?php\n" for PHP, the dated banner for NAMEVALUESECTIONS, else nothing.
void write_output_header(FILE *stream, OutputType type, const char *commentPrefix);

// "?>\n" for PHP, else nothing.
void write_output_trailer(FILE *stream, OutputType type);
