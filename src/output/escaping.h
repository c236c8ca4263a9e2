// Escaping of values and rewriting of names for the output types.
#pragma once

#include <cstdio>

// Copies text into the shared escape buffer with escapeChar in front of every
// character found in set. The result stays valid until the next call of any
// escape function.
const char *escape_chars(const char *text, const char *set, char escapeChar);

// Each ' becomes '' (FORM values).
const char *escape_form_value(const char *text);

// A backslash in front of every character of set (PHP values).
const char *escape_backslash(const char *text, const char *set);

// Writes text for use inside shell single quotes: each ' becomes '\''.
void write_shell_quoted(FILE *stream, const char *text);

// Every '.' becomes '_', in place; returns name.
char *dots_to_underscores(char *name);

// A leading "root" becomes "conf", in place; returns name.
char *root_to_conf(char *name);
