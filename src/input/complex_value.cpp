#include "input/complex_value.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/diagnostics.h"
#include "common/globals.h"
#include "input/full_name.h"
#include "input/token_scanner.h"

static const char valueSeparators[] = " \t\n=";
static const char keySeparators[] = " \t\n={";
static const char blanks[] = " \t\n";

// Hashes and lists nest by recursion; text nested deeper than this is a
// syntax error, so that no input can exhaust the stack.
static const int maximumDepth = 1000;

// One parse: a single scanning position shared by every level.
struct parse_state {
    token_scanner scanner;
    const char *name;
    size_t nameLength;
    bool tooDeep; // once set, every level fails: the whole value is unreadable
};

static DataNode *parse_value(parse_state *state, char **cursor, DataNode *stored, int depth);

static void report_no_token(const char *text) { std::printf("SYNTAX error %s\n", text); }

// A token taken from place; none when there is no place (nothing followed).
static char *token_at(parse_state *state, char *place, const char *separators) {
    return place == nullptr ? nullptr : take_token(&state->scanner, place, separators);
}

// "{" then "}" with only blanks around them: the entry is to be deleted.
static bool is_deletion(const char *valueText) {
    valueText += std::strspn(valueText, blanks);
    if (*valueText != '{')
        return false;
    valueText += 1 + std::strspn(valueText + 1, blanks);
    return *valueText == '}';
}

// A stored node to merge an entry into: the stored entry of the key; at the
// top level a missing entry is created first.
static DataNode *counterpart_of(DataNode *stored, const char *key, int depth) {
    if (stored == nullptr)
        return nullptr;
    DataNode *counterpart = drep_getHashValue(stored, key);
    if (counterpart == nullptr && depth == 0) {
        counterpart = drep_getNextToInHash(stored, nullptr, nullptr);
        drep_setHashValue(stored, counterpart, key);
    }
    return counterpart;
}

static DataNode *parse_hash(parse_state *state, char **cursor, char *rest, DataNode *stored,
                            int depth) {
    DataNode *hash = drep_createData();
    drep_initializeHash(hash);
    char *key = token_at(state, rest, keySeparators);
    if (key == nullptr) {
        std::puts("SYNTAX KEY error");
        return nullptr;
    }
    for (;;) {
        char *valueCursor = take_remainder(&state->scanner);
        if (valueCursor == nullptr)
            return nullptr;
        if (depth == 0 && is_deletion(valueCursor)) {
            if (stored != nullptr && drep_deleteHashValue(stored, key) < 0)
                return nullptr;
            *cursor = nullptr; // nothing after a deletion is read
            return hash;
        }
        DataNode *child =
            parse_value(state, &valueCursor, counterpart_of(stored, key, depth), depth + 1);
        if (state->tooDeep)
            return nullptr;
        if (child != nullptr)
            drep_setHashValue(hash, child, key);
        char *next = token_at(state, valueCursor, valueSeparators);
        if (next == nullptr) {
            if (child == nullptr) {
                std::puts("HASH END");
                return hash;
            }
            *cursor = nullptr;
            return hash;
        }
        // Every line of a value may begin with the parameter name and "."
        // (only after a value that could be read).
        if (child != nullptr && std::strncmp(next, state->name, state->nameLength) == 0) {
            if (next[state->nameLength] == '\0') {
                // The name alone: there is no character after it to drop.
                std::puts("SYNTAX KEY error");
                return nullptr;
            }
            next += state->nameLength + 1;
        }
        if (std::strcmp(next, "}") == 0) {
            *cursor = take_remainder(&state->scanner);
            return hash;
        }
        key = next;
    }
}

static DataNode *parse_scalar(parse_state *state, char **cursor, const char *text, char *rest,
                              DataNode *stored) {
    DataNode *scalar = drep_createData();
    drep_initializeScalar(scalar, SCALAR_CUSTOM, "string");
    char *value;
    if (rest == nullptr) {
        // "[" ends the text: there is no value to read.
        report_no_token(text);
        return nullptr;
    }
    char emptyValue[] = ""; // the library copies the text it is given
    if (rest[0] == '"' && rest[1] == '"') {
        value = emptyValue;
        take_token(&state->scanner, rest + 2, "\n"); // the rest of the line goes with the quotes
    } else {
        value = take_token(&state->scanner, rest + 1, "\"");
        if (value == nullptr) {
            // Nothing after the opening quote: no value text at all.
            report_no_token(text);
            return nullptr;
        }
        take_token(&state->scanner, nullptr, valueSeparators); // the closing "]"
    }
    char *after = take_remainder(&state->scanner);
    drep_assignStringToCustom(scalar, value, 0);
    if (stored != nullptr)
        drep_assignStringToCustom(stored, value, 0);
    *cursor = after;
    return scalar;
}

// Empties a stored list before the items of the text replace its items.
static void empty_stored_list(DataNode *stored) {
    // Only a list has cells to remove; any other stored node is left as it is.
    if (stored == nullptr || stored->kind != DATA_LIST)
        return;
    while (stored->u.list.firstCell != nullptr) {
        ListCell *item = drep_getFirstOfList(stored);
        // A refused removal would leave the same first cell for ever.
        if (item == nullptr || drep_deleteListItem(stored, item) < 0)
            return;
    }
}

static DataNode *parse_list(parse_state *state, char **cursor, char *rest, DataNode *stored,
                            int depth) {
    DataNode *list = drep_createData();
    drep_initializeList(list);
    empty_stored_list(stored);
    char *itemCursor = rest;
    for (;;) {
        if (itemCursor == nullptr) {
            // The text ended before ")": the list is unfinished.
            report_no_token("");
            return nullptr;
        }
        DataNode *item = parse_value(state, &itemCursor, nullptr, depth + 1);
        if (state->tooDeep)
            return nullptr;
        if (item == nullptr)
            break; // ")" or an item that could not be read
        drep_addToList(list, item);
        if (stored != nullptr)
            drep_addToList(stored, item);
    }
    *cursor = itemCursor;
    return list;
}

static DataNode *parse_value(parse_state *state, char **cursor, DataNode *stored, int depth) {
    char *text = *cursor;
    if (depth > maximumDepth) {
        report_no_token(text);
        state->tooDeep = true;
        return nullptr;
    }
    if (std::strncmp(text, state->name, state->nameLength) == 0) {
        // The name alone leaves no character to turn into the blank.
        if (text[state->nameLength] == '\0') {
            report_no_token(text);
            return nullptr;
        }
        // "<name>.<key>" opens a hash: "<nam>{ <key>".
        text[state->nameLength] = ' ';
        text[state->nameLength - 1] = '{';
        text += state->nameLength - 1;
    }
    char *token = take_token(&state->scanner, text, valueSeparators);
    if (token == nullptr) {
        report_no_token(text);
        return nullptr;
    }
    char *rest = take_remainder(&state->scanner);
    if (std::strcmp(token, "{") == 0)
        return parse_hash(state, cursor, rest, stored, depth);
    if (std::strcmp(token, "[") == 0)
        return parse_scalar(state, cursor, token, rest, stored);
    if (std::strcmp(token, "(") == 0)
        return parse_list(state, cursor, rest, stored, depth);
    if (std::strcmp(token, ")") == 0) {
        *cursor = rest;
        return nullptr;
    }
    std::puts("syntax error 1");
    return nullptr;
}

DataNode *parse_complex_value(char **cursor, DataNode *stored, const char *name, int depth) {
    // An empty name would begin every text and leave no character to rewrite.
    if (*cursor == nullptr || name == nullptr || name[0] == '\0') {
        report_no_token(*cursor != nullptr ? *cursor : "");
        return nullptr;
    }
    parse_state state = {{nullptr}, name, std::strlen(name), false};
    return parse_value(&state, cursor, stored, depth);
}

int set_complex_param(const char *group, const char *name, char *text) {
    char *fullName = join_full_name(group, name);
    if (fullName == nullptr) {
        print_message(LOG_ERR, "%s", allocationFailed);
        return -1;
    }
    int32_t error = 0;
    DataNode *stored = cli_getComplexParam(fullName, &clientOptions, &error);
    if (error != 0) {
        print_message(LOG_ERR, "Error %i getting complex parameter '%s'.", error, fullName);
        std::exit(1);
    }
    char *cursor = text;
    DataNode *newTree = parse_complex_value(&cursor, stored, name, 0);
    if (newTree == nullptr) {
        print_message(LOG_ERR, "Error in parsing %s.", fullName);
        std::free(stored);
        std::free(fullName);
        return -1;
    }
    // The stored tree carries every merge; the new tree only told success.
    cli_setComplexParam(fullName, stored, &clientOptions, &error);
    if (error != 0) {
        print_message(LOG_ERR, "Error %i setting complex parameter '%s'.", error, fullName);
        std::exit(1);
    }
    std::free(stored);
    std::free(newTree);
    std::free(fullName);
    return 0;
}
