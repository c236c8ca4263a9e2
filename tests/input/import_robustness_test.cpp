// setparams on hostile files: the program neither crashes nor reads past its
// buffers, and deep or unfinished values are refused as syntax errors.
#include <random>

#include "import_run.h"

namespace {

using import_run::setparams;
using program_run::Lines;

const std::string zonesScript =
    import_run::complex_script("root.U.Zones", R"({"hash":[["a",{"custom":"old"}]]})");

std::string repeat(const std::string &text, int times) {
    std::string result;
    result.reserve(text.size() * times);
    for (int i = 0; i < times; i++)
        result += text;
    return result;
}

TEST(SetparamsRobustness, RandomBytesNeverCrashTheProgram) {
    std::mt19937 random(2024);
    // Bytes that steer the reader and the parser, and any byte at all.
    const std::string steering = "{}[]()\"=#.\\\n\t root.Zones.";
    for (int file = 0; file < 12; file++) {
        std::string content = file % 2 == 0 ? "[U]\n" : "root.U.x = 1\n";
        size_t size = 2000 + random() % 30000;
        while (content.size() < size)
            content += random() % 2 ? steering[random() % steering.size()]
                                    : static_cast<char>(random() % 256);
        harness::Result result = setparams(content, zonesScript);
        EXPECT_TRUE(result.status == 0 || result.status == 1 || result.status == 2)
            << "file " << file << " ended with status " << result.status << "\n"
            << result.err;
    }
}

TEST(SetparamsRobustness, ATenMegabyteLineIsSetWhole) {
    const std::string value(10 * 1024 * 1024, 'v');
    harness::Result result = setparams("root.U.x = " + value + "\nroot.U.y = 2\n");
    Lines calls = harness::storeCalls(result);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], "cli_setCustomParam(\"root.U.x\", \"" + value + "\")");
    EXPECT_EQ(calls[1], "cli_setCustomParam(\"root.U.y\", \"2\")");
    EXPECT_EQ(result.status, 0);
}

struct refused_case {
    const char *behaviour;
    std::string file;
};

const refused_case refusedCases[] = {
    {"hashes nested 100,000 deep",
     "[U]\nZones.a {\n" + repeat("a {\n", 99999) + repeat("}\n", 100000)},
    {"lists nested 100,000 deep", "[U]\nZones.a {\nx = " + repeat("( ", 100000) + "\n}\n"},
    {"a list that the file ends inside", "[U]\nZones.a {\n x = ( [ \"1\" ]\n"},
    {"a scalar that ends after its bracket", "[U]\nZones.a {\n x = ["},
    {"a scalar with one character after its bracket", "[U]\nZones.a {\n x = [ \""},
    {"a value that is the parameter name alone", "[U]\nZones.a {\n x Zones"},
    {"a later key that is the parameter name alone",
     "[U]\nZones.a {\n x = [ \"1\" ]\n Zones\n}\n"},
};

TEST(SetparamsRobustness, UnreadableValuesAreRefusedWithoutWriting) {
    for (const refused_case &c : refusedCases) {
        SCOPED_TRACE(c.behaviour);
        harness::Result result = setparams(c.file, zonesScript);
        EXPECT_EQ(harness::storeCalls(result), Lines{"cli_getComplexParam(\"root.U.Zones\") = #1"});
        EXPECT_EQ(result.err, "Error in parsing root.U.Zones.\n");
        EXPECT_EQ(result.status, 1);
    }
}

// Values the parser takes to their end: written whole.
TEST(SetparamsRobustness, DeepOrUnfinishedValuesAreWrittenWhole) {
    const struct {
        const char *behaviour;
        std::string file, stored, written;
    } cases[] = {
        // The stored list receives the new items, so the whole nested value is written.
        {"a value nested 400 deep",
         "[U]\nZones.a {\n l = " + repeat("( ", 400) + "[ \"deep\" ]" + repeat(" )", 400) + "\n}\n",
         R"({"hash":[["a",{"hash":[["l",{"list":[]}]]}]]})",
         R"({"hash":[["a",{"hash":[["l",)" + repeat(R"({"list":[)", 400) + R"({"custom":"deep"})" +
             repeat("]}", 400) + "]]}]]}"},
        {"a file ending inside a quoted value keeps the text", "[U]\nZones.a {\n x = [ \"open\nend",
         R"({"hash":[["a",{"hash":[["x",{"custom":"old"}]]}]]})",
         R"({"hash":[["a",{"hash":[["x",{"custom":"open\nend"}]]}]]})"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.behaviour);
        harness::Result result =
            setparams(c.file, import_run::complex_script("root.U.Zones", c.stored));
        EXPECT_EQ(harness::storeCalls(result),
                  (Lines{"cli_getComplexParam(\"root.U.Zones\") = #1",
                         "cli_setComplexParam(\"root.U.Zones\", " + c.written + ")"}));
        EXPECT_EQ(result.status, 0);
    }
}

} // namespace
