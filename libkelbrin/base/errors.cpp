#include "base/errors.h"

namespace kelbrin {

namespace {
constexpr ErrorInfo table[] = {
    {INVALID_ARGUMENT, "INVALID_ARGUMENT", "a required argument is a null pointer or out of range"},
    {UNKNOWN_PARAMETER, "UNKNOWN_PARAMETER", "no parameter of that name is declared (or it is a mapping and mappings are off)"},
    {UNKNOWN_GROUP, "UNKNOWN_GROUP", "no group of that name exists"},
    {GROUP_NUMBER_TAKEN, "GROUP_NUMBER_TAKEN", "a group with the requested number exists already"},
    {NOT_A_PLAIN_PARAMETER, "NOT_A_PLAIN_PARAMETER", "the parameter holds a tree; use the complex calls"},
    {NOT_A_COMPLEX_PARAMETER, "NOT_A_COMPLEX_PARAMETER", "the parameter holds a text; use the plain calls"},
    {READ_REFUSED, "READ_REFUSED", "the caller's security level is below the parameter's read level"},
    {GROUP_LIMIT, "GROUP_LIMIT", "the template has reached its maximum number of groups under that parent"},
    {WRITE_REFUSED, "WRITE_REFUSED", "the caller's security level is below the parameter's write level"},
    {VALUE_REJECTED, "VALUE_REJECTED", "the value does not match the parameter's pattern"},
    {VALUE_TOO_LONG, "VALUE_TOO_LONG", "the value, name or tree is longer than the store accepts"},
    {BAD_NAME, "BAD_NAME", "a name is not root followed by dot-separated letters, digits and underscores"},
    {STORE_UNAVAILABLE, "STORE_UNAVAILABLE", "the store's database file cannot be opened or created"},
    {STORE_BUSY, "STORE_BUSY", "another process held the store longer than the busy limit"},
    {STORE_FAILED, "STORE_FAILED", "the database reported an error (disk full, I/O error, damaged file)"},
    {FILE_UNREADABLE, "FILE_UNREADABLE", "the group file cannot be opened or read, or is too large"},
    {FILE_SYNTAX, "FILE_SYNTAX", "the group file is not valid JSON"},
    {FILE_INVALID, "FILE_INVALID", "the group file is valid JSON but declares something wrong"},
    {FILE_TOO_DEEP, "FILE_TOO_DEEP", "the group file is nested deeper than the store accepts"},
    {UNKNOWN_TEMPLATE, "UNKNOWN_TEMPLATE", "no template of that name is declared"},
    {TEMPLATE_PARENT_MISMATCH, "TEMPLATE_PARENT_MISMATCH", "the template is declared for another parent group"},
    {STATIC_GROUP, "STATIC_GROUP", "the group was declared by a group file and cannot be deleted"},
    {BAD_TREE, "BAD_TREE", "the data tree is malformed, cyclic or nested too deeply"},
    {BAD_GROUP_NUMBER, "BAD_GROUP_NUMBER", "the requested group number is negative (other than -1)"},
    {UNKNOWN_OPTION, "UNKNOWN_OPTION", "the parameter has no option of that name"},
    {OUT_OF_MEMORY, "OUT_OF_MEMORY", "memory ran out"},
    {MAPPING_LOOP, "MAPPING_LOOP", "mapped parameters lead in a circle or too far"},
    {WRONG_NODE_KIND, "WRONG_NODE_KIND", "the data node is not of the kind the call needs"},
    {NOT_FOUND, "NOT_FOUND", "the key or list item is not in the data node"},
    {STORE_TOO_NEW, "STORE_TOO_NEW", "the store file is of a newer version than the library; it was left as it was"},
    {NOT_A_STORE, "NOT_A_STORE", "the file is not a parameter store but another program's database or file; it was left as it was"},
};
} // namespace

std::span<const ErrorInfo> error_table() { return table; }

} // namespace kelbrin
