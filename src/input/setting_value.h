// The value of a "name = value" setting line, as it is written to the store.
#pragma once

// Converts the text after the "=" (to the end of the logical line) into a
// newly allocated value: leading blanks skipped, one double quote dropped at
// each end, trailing white space removed and, when convertEscapes is set,
// backslash escapes converted. Null when it cannot be allocated.
char *convert_setting_value(const char *text, bool convertEscapes);
