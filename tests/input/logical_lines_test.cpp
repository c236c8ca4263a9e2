#include "input/logical_lines.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

struct logical_line {
    std::string text;
    bool complex;
    bool operator==(const logical_line &other) const {
        return text == other.text && complex == other.complex;
    }
};

std::ostream &operator<<(std::ostream &out, const logical_line &line) {
    return out << (line.complex ? "complex " : "plain ") << testing::PrintToString(line.text);
}

// Every logical line of the file, the empty one at its end included.
std::vector<logical_line> read_all(const std::string &file) {
    std::string content = file;
    FILE *stream = fmemopen(content.data(), content.size(), "r");
    if (file.empty()) // fmemopen refuses an empty buffer
        stream = std::fopen("/dev/null", "r");
    std::vector<logical_line> lines;
    logical_line_reader reader;
    EXPECT_TRUE(start_logical_lines(&reader, stream));
    while (!std::feof(stream)) {
        EXPECT_TRUE(read_logical_line(&reader));
        lines.push_back({std::string(reader.buffer, reader.length), reader.complex});
    }
    finish_logical_lines(&reader);
    std::fclose(stream);
    return lines;
}

struct lines_case {
    const char *behaviour;
    std::string file;
    std::vector<logical_line> lines;
};

const std::string longName(600, 'a');

const lines_case linesCases[] = {
    {"an empty file is one empty line", "", {{"", false}}},
    {"each physical line is a logical line", "a=1\nb=2\n", {{"a=1\n", false}, {"b=2\n", false}, {"", false}}},
    {"the last line needs no newline", "a=1\nb=2", {{"a=1\n", false}, {"b=2", false}}},
    {"two backslashes continue a line", "T = a \\\\\nb\n", {{"T = a \\\\\nb\n", false}, {"", false}}},
    {"one backslash does not", "T = a \\\nb\n", {{"T = a \\\n", false}, {"b\n", false}, {"", false}}},
    {"two backslashes before a carriage return do not",
     "T = a \\\\\r\nb\r\n",
     {{"T = a \\\\\r\n", false}, {"b\r\n", false}, {"", false}}},
    {"braces gather lines into one complex line",
     "B.p {\n\tx = [ \"1\" ]\n}\nc=1\n",
     {{"B.p {\n\tx = [ \"1\" ]\n}\n", true}, {"c=1\n", false}, {"", false}}},
    {"a brace after a double quote is not counted",
     "Caption = \"{x}\"\n",
     {{"Caption = \"{x}\"\n", false}, {"", false}}},
    {"a brace after a backslash is not counted", "a = \\{x\n", {{"a = \\{x\n", false}, {"", false}}},
    {"only the first closing brace of a line counts",
     "Name.a = { x = 1 } }\nb=1\n",
     {{"Name.a = { x = 1 } }\n", true}, {"b=1\n", false}, {"", false}}},
    {"only the first opening brace of a line counts",
     "B.x { a { b\n}\nc=1\n",
     {{"B.x { a { b\n}\n", true}, {"c=1\n", false}, {"", false}}},
    {"a closing brace first keeps the line open until an opening one",
     "}\na\n{\nb\n",
     {{"}\na\n{\n", true}, {"b\n", false}, {"", false}}},
    {"an unbalanced brace runs to the end of the file",
     "B.x {\na\nb\n",
     {{"B.x {\na\nb\n", true}}},
    {"a comment inside an open value is cut with its newline",
     "B.p { # note\n x = [ \"1\" ]\n}\n",
     {{"B.p {  x = [ \"1\" ]\n}\n", true}, {"", false}}},
    {"a comment on a line that completes alone stays",
     "Level = 5 # default\n",
     {{"Level = 5 # default\n", false}, {"", false}}},
    {"the last line without newline is not examined for braces",
     "B.p { x = [ \"1\" ] }",
     {{"B.p { x = [ \"1\" ] }", false}}},
    {"a long line arrives in pieces of the growing buffer",
     longName + "\n",
     {{longName + "\n", false}, {"", false}}},
    {"a brace in a later piece of a long line is counted",
     longName + "{\n}\n",
     {{longName + "{\n}\n", true}, {"", false}}},
    // The first piece is 511 bytes; its "#" cut drops the rest of that piece.
    {"a comment cut in a long line drops the rest of its piece",
     std::string(300, 'x') + "#" + std::string(300, 'y') + "\n",
     {{std::string(300, 'x') + std::string(90, 'y') + "\n", false}, {"", false}}},
    {"a NUL byte hides the rest of its piece",
     std::string("a=1\0zz\nb=2\n", 11),
     {{"a=1b=2\n", false}, {"", false}}},
};

TEST(LogicalLines, JoinsPhysicalLines) {
    for (const lines_case &c : linesCases)
        EXPECT_EQ(read_all(c.file), c.lines) << c.behaviour;
}

} // namespace
