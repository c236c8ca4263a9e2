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
    // The text is not scanned for its end: a parse takes the remainder once
    // per level, and scanning it each time would make deep values quadratic.
    // A cleared position finds nothing more, as the end of the text would.
    char *rest = scanner->position;
    scanner->position = nullptr;
    return rest != nullptr && *rest != '\0' ? rest : nullptr;
}
