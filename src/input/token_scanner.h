// A tokenizer with the behaviour of the C library's strtok, but with its
// scanning position in a record of its own, so that one parse keeps one
// position across all its levels without sharing hidden global state.
#pragma once

struct token_scanner {
    char *position; // where the next token is looked for; null before the first token
                    // and after the remainder was taken
};

// Skips separators from start (or from the scanning position when start is
// null), cuts the token there by overwriting the separator that ends it with
// a terminator, and moves the scanning position just past that separator.
// Returns null, leaving the position at the end of the text, when only
// separators remain.
char *take_token(token_scanner *scanner, char *start, const char *separators);

// The text from the scanning position to its end, unchanged; null when that
// text is empty. Nothing is left to scan after it: the position is cleared,
// and a following take_token without a start finds nothing.
char *take_remainder(token_scanner *scanner);
