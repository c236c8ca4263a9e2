// Reading complex value text and merging it into a stored tree, in process:
// the trees are built and read through the data tree library itself.
#include "input/complex_value.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

// Trees as the library builds them. Texts stay alive for the whole test run,
// as the library may keep the pointers.
DataNode *scalar(const char *text) {
    DataNode *node = drep_createData();
    drep_initializeScalar(node, SCALAR_CUSTOM, "string");
    drep_assignStringToCustom(node, strdup(text), 0);
    return node;
}

DataNode *list(std::vector<DataNode *> items) {
    DataNode *node = drep_createData();
    drep_initializeList(node);
    for (DataNode *item : items)
        drep_addToList(node, item);
    return node;
}

DataNode *hash(std::vector<std::pair<const char *, DataNode *>> entries) {
    DataNode *node = drep_createData();
    drep_initializeHash(node);
    for (auto &[key, value] : entries)
        drep_setHashValue(node, value, strdup(key));
    return node;
}

// A compact text of a tree: {key: value, ...}, (item ...), "text".
std::string show(DataNode *node) {
    if (node == nullptr)
        return "null";
    std::string text;
    switch (node->kind) {
    case DATA_SCALAR: {
        char flag = 0;
        const char *value = node->u.scalar.subtype == SCALAR_CUSTOM
                                ? drep_getStringFromCustom(node, &flag)
                                : node->u.scalar.subtype == SCALAR_STRING ? node->u.scalar.value.string
                                                                          : "?";
        return std::string("\"") + (value != nullptr ? value : "NULL") + "\"";
    }
    case DATA_LIST:
        text = "(";
        for (ListCell *cell = node->u.list.firstCell; cell != nullptr; cell = cell->next)
            text += (text.size() > 1 ? " " : "") + show(cell->value);
        return text + ")";
    case DATA_HASH:
        text = "{";
        for (HashEntry *entry = node->u.hash.firstEntry; entry != nullptr; entry = entry->next)
            text += (text.size() > 1 ? ", " : "") + std::string(entry->key) + ": " + show(entry->value);
        return text + "}";
    default:
        return "none";
    }
}

struct parse_outcome {
    bool read;          // a new tree came back
    std::string stored; // the stored tree afterwards
    std::string out;    // the parser's messages
};

parse_outcome parse(DataNode *stored, std::string text) {
    std::vector<char> writable(text.begin(), text.end());
    writable.push_back('\0');
    char *cursor = writable.data();
    testing::internal::CaptureStdout();
    DataNode *result = parse_complex_value(&cursor, stored, "Zones", 0);
    std::fflush(stdout);
    std::string out = testing::internal::GetCapturedStdout();
    return {result != nullptr, show(stored), out};
}

DataNode *zones() {
    return hash({{"mode", scalar("manual")},
                 {"ports", list({scalar("1"), scalar("2")})},
                 {"rules", hash({{"allow", scalar("all")}})}});
}

struct parse_case {
    const char *behaviour;
    std::string text;
    parse_outcome expected;
};

const std::string unchanged = R"({mode: "manual", ports: ("1" "2"), rules: {allow: "all"}})";

const parse_case parseCases[] = {
    {"a scalar replaces the stored text", "Zones.mode = [ \"auto\" ]\n",
     {true, R"({mode: "auto", ports: ("1" "2"), rules: {allow: "all"}})", ""}},
    {"a later key may follow a value on the same line",
     "Zones.mode = [ \"a\" ] Zones.ports = ( [ \"80\" ] )",
     {true, R"({mode: "a", ports: ("80"), rules: {allow: "all"}})", ""}},
    {"key and value may be joined by blanks, = or nothing", "Zones.mode=[ \"b\" ]\nZones.ports ( )\n",
     {true, R"({mode: "b", ports: (), rules: {allow: "all"}})", ""}},
    {"a list replaces the stored items", "Zones.ports = ( [ \"7\" ] [ \"8\" ] [ \"9\" ] )\n",
     {true, R"({mode: "manual", ports: ("7" "8" "9"), rules: {allow: "all"}})", ""}},
    {"an empty list empties the stored list", "Zones.ports = ( )\n",
     {true, R"({mode: "manual", ports: (), rules: {allow: "all"}})", ""}},
    {"a deletion removes the entry and ends the reading",
     "Zones.rules { }\nZones.mode = [ \"x\" ]\n",
     {true, R"({mode: "manual", ports: ("1" "2")})", ""}},
    {"a deletion may have no blank inside", "Zones.rules {}", {true, R"({mode: "manual", ports: ("1" "2")})", ""}},
    // The created entry holds the library's fresh node; this library makes no
    // scalar of it when the value is assigned.
    {"a top-level key missing from the store is created",
     "Zones.extra = [ \"new\" ]\n",
     {true, R"({mode: "manual", ports: ("1" "2"), rules: {allow: "all"}, extra: none})", ""}},
    {"a nested key missing from the store is not created",
     "Zones.rules {\n\tdeny = [ \"none\" ]\n\tallow = [ \"some\" ]\n}\n",
     {true, R"({mode: "manual", ports: ("1" "2"), rules: {allow: "some"}})", ""}},
    {"a closing brace at the top ends the reading",
     "Zones.mode = [ \"auto\" ] }\nZones.extra = [ \"x\" ]\n",
     {true, R"({mode: "auto", ports: ("1" "2"), rules: {allow: "all"}})", ""}},
    {"a text without the name reads the same", "{ mode = [ \"a\" ] }",
     {true, R"({mode: "a", ports: ("1" "2"), rules: {allow: "all"}})", ""}},
    {"two double quotes give the empty value", "Zones.mode = [ \"\" ]\n",
     {true, R"({mode: "", ports: ("1" "2"), rules: {allow: "all"}})", ""}},
    {"quotes that end their line drop the next line",
     "Zones.mode = [ \"\"\nZones.ports = ( )\nZones.extra = [ \"1\" ]\n",
     {true, R"({mode: "", ports: ("1" "2"), rules: {allow: "all"}, extra: none})", ""}},
    {"a value without its closing quote runs to the end", "Zones.mode = [ \"au to\n",
     {true, "{mode: \"au to\n\", ports: (\"1\" \"2\"), rules: {allow: \"all\"}}", ""}},
    {"a value keeps blanks, brackets and newlines", "Zones.mode = [ \"a ] = {\n(\" ]\n",
     {true, R"({mode: "a ] = {
(", ports: ("1" "2"), rules: {allow: "all"}})", ""}},
    {"a missing value ends the hash but keeps what was read", "Zones.mode = [ \"z\" ] Zones.a =",
     {true, R"({mode: "z", ports: ("1" "2"), rules: {allow: "all"}, a: none})",
      "SYNTAX error =\nHASH END\n"}},
    {"a bracket without a blank is a syntax error", "Zones.mode = [\"auto\"]\n",
     {false, unchanged, "syntax error 1\n"}},
    {"a bad list item fails the hash around the list", "Zones.ports = ( [ \"1\" ] x )\n",
     {false, R"({mode: "manual", ports: ("1"), rules: {allow: "all"}})", "syntax error 1\n"}},
    {"a brace without a key", "{", {false, unchanged, "SYNTAX KEY error\n"}},
    {"a key with nothing after it", "Zones.mode", {false, unchanged, ""}},
    {"an empty text", " \n", {false, unchanged, "SYNTAX error  \n\n"}},
    {"the name alone", "Zones", {false, unchanged, "SYNTAX error Zones\n"}},
    {"a scalar that ends at its bracket", "Zones.mode = [",
     {false, unchanged, "SYNTAX error [\n"}},
};

TEST(ComplexValue, MergesTextIntoTheStoredTree) {
    for (const parse_case &c : parseCases) {
        parse_outcome outcome = parse(zones(), c.text);
        EXPECT_EQ(outcome.read, c.expected.read) << c.behaviour;
        EXPECT_EQ(outcome.stored, c.expected.stored) << c.behaviour;
        EXPECT_EQ(outcome.out, c.expected.out) << c.behaviour;
    }
}

TEST(ComplexValue, WithoutAStoredTreeOnlyTheNewTreeIsBuilt) {
    std::string text = "Zones.mode = [ \"a\" ]\nZones.list = ( [ \"1\" ] ( [ \"2\" ] ) )\n";
    std::vector<char> writable(text.begin(), text.end());
    writable.push_back('\0');
    char *cursor = writable.data();
    DataNode *result = parse_complex_value(&cursor, nullptr, "Zones", 0);
    EXPECT_EQ(show(result), R"({mode: "a", list: ("1" ("2"))})");
    EXPECT_EQ(cursor, nullptr);
}

} // namespace
