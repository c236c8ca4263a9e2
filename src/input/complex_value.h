// Complex value text: reading it into a tree and merging it into the stored
// value of one complex parameter.
#pragma once

#include <kelbrin.h>

// Reads the value whose text begins at *cursor, builds it as a new tree and
// merges it into stored (the corresponding stored node, or null) on the way.
// The text is cut into tokens in place. On success *cursor moves to the text
// after the value (null when nothing follows); name is the parameter name
// that may begin the text and later keys; depth is 0 for a whole value.
// Returns the new node, or null when the value could not be read (")", the
// end of a list, included). Syntax messages go to standard output.
DataNode *parse_complex_value(char **cursor, DataNode *stored, const char *name, int depth);

// Merges the text into the stored tree of root.<group>.<name> and writes it
// back. Returns 0, or -1 after a message when the text cannot be read; ends
// the process with status 1 when the store refuses the read or the write.
// The text is changed in place and stays the caller's.
int set_complex_param(const char *group, const char *name, char *text);
