// The store's error codes: one table of codes, names and texts, shared by the
// library, its documentation test and anyone who wants a readable message.
#pragma once

#include <cstdint>
#include <span>

namespace kelbrin {

enum Error : int32_t {
    OK = 0,
    INVALID_ARGUMENT = -1,
    UNKNOWN_PARAMETER = -2,
    UNKNOWN_GROUP = -3,
    GROUP_NUMBER_TAKEN = -4,
    NOT_A_PLAIN_PARAMETER = -5,
    NOT_A_COMPLEX_PARAMETER = -6,
    READ_REFUSED = -7,
    GROUP_LIMIT = -8,
    WRITE_REFUSED = -9,
    VALUE_REJECTED = -10,
    VALUE_TOO_LONG = -11,
    BAD_NAME = -12,
    STORE_UNAVAILABLE = -13,
    STORE_BUSY = -14,
    STORE_FAILED = -15,
    FILE_UNREADABLE = -16,
    FILE_SYNTAX = -17,
    FILE_INVALID = -18,
    FILE_TOO_DEEP = -19,
    UNKNOWN_TEMPLATE = -20,
    TEMPLATE_PARENT_MISMATCH = -21,
    STATIC_GROUP = -22,
    BAD_TREE = -23,
    BAD_GROUP_NUMBER = -24,
    UNKNOWN_OPTION = -25,
    OUT_OF_MEMORY = -26,
    MAPPING_LOOP = -27,
    WRONG_NODE_KIND = -28,
    NOT_FOUND = -29,
    STORE_TOO_NEW = -30,
    NOT_A_STORE = -31,
};

struct ErrorInfo {
    Error code;
    const char *name;
    const char *text;
};

// A result, or the code its operation refused with by return instead of by
// throw: for refusals common enough that a throw would cost more than the call.
template <typename Result> struct Refusable {
    Result value{};
    Error refusal = OK;
};

// Every code but OK, in numeric order from -1 down.
std::span<const ErrorInfo> error_table();

// Thrown inside the library; the C layer turns it into the error word and
// drops the reason, which tools built on the core show to their users.
struct StoreError {
    Error code;
    const char *reason = nullptr; // a static text saying why, when known
};

} // namespace kelbrin
