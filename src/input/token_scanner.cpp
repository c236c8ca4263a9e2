#include "input/token_scanner.h"

#include <cstring>

char *take_token(token_scanner *scanner, char *start, const char *separators) {
    char *token = start != nullptr ? start : scanner->position;
    if (token == nullptr)
        return nullptr;
    token += std::strspn(token, separators);
    if (*token == '\0') {
        scanner->position = token;
        return nullptr;
    }
    char *end = token + std::strcspn(token, separators);
    if (*end == '\0') {
        scanner->position = end;
    } else {
        *end = '\0';
        scanner->position = end + 1;
    }
    return token;
}

char *take_remainder(token_scanner *scanner) {
    // An empty separator set: nothing is skipped and the token runs to the end.
    return take_token(scanner, nullptr, "");
}
