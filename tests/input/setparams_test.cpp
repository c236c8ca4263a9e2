// setparams: which lines of a parameter file reach the store, in which order,
// and what is reported; hostile files neither crash the program nor make it
// read past its buffers, and deep or unfinished values are refused.
#include <random>

#include "front/program_run.h"

namespace {

using program_run::Lines;

// Writes the file and runs "kelbrinclient <options> setparams <file> <after>"
// with the double serving the script.
harness::Result setparams(const std::string &file, const std::string &script = "{}",
                          const Lines &options = {}, const Lines &after = {}) {
    harness::TempDir directory;
    Lines args = options;
    args.insert(args.end(), {"setparams", directory.file("params.txt")});
    args.insert(args.end(), after.begin(), after.end());
    harness::writeFile(directory.file("params.txt"), file);
    return program_run::run(args, script);
}

// A script whose store holds one complex parameter with the tree (JSON).
std::string complex_script(const std::string &name, const std::string &tree) {
    return R"({"params": [{"name": ")" + name + R"(", "tree": )" + tree + "}]}";
}

std::string set(const std::string &name, const std::string &value) {
    return "cli_setCustomParam(\"" + name + "\", \"" + value + "\")";
}

struct file_case {
    const char *behaviour;
    std::string file;
    Lines calls;
};

const file_case fileCases[] = {
    {"an empty file writes nothing", "", {}},
    {"a file of comments writes nothing", "# one\n\n# two\n", {}},
    {"full names are set in file order",
     "root.A.x = 1\nroot.B.y=\"two words\"\n",
     {set("root.A.x", "1"), set("root.B.y", "two words")}},
    {"lines before the first full name are ignored",
     "x = 1\n  root.A.y = 2\n",
     {set("root.A.y", "2")}},
    {"full-name comments, lines without = and empty names write nothing",
     "root.A.x = 1\n  # root.A.c = 2\nroot.A.bare\n = x\n",
     {set("root.A.x", "1")}},
    {"a trailing comment belongs to the value", "root.A.Level = 5 # default\n",
     {set("root.A.Level", "5 # default")}},
    {"a quoted brace is a plain value", "root.A.Caption = \"{x}\"\n",
     {set("root.A.Caption", "{x}")}},
    {"in the full-name form a bracket is part of the value", "root.A.Range = [1]\n",
     {set("root.A.Range", "[1]")}},
    {"section names lose their blanks", "[ Unit ]\nSpeed = 1\n", {set("root.Unit.Speed", "1")}},
    {"an empty section name is allowed", "[]\nSpeed = 1\n", {set("root..Speed", "1")}},
    {"lines before the first header are ignored", "Speed = 1\n[Unit]\nSpeed = 2\n",
     {set("root.Unit.Speed", "2")}},
    {"an indented comment in a section is a setting", "[Unit]\n  # note = x\n# real = y\n",
     {set("root.Unit.# note", "x")}},
    {"a bracket in a section makes a header", "[Unit]\nRange = [1]\nSpeed = 2\n",
     {set("root.1.Speed", "2")}},
    {"a header without its closing bracket runs to the line end", "[Unit\nSpeed = 2\n",
     {set("root.Unit.Speed", "2")}},
    {"a continued line is one setting", "root.A.T = first \\\\\nsecond\n",
     {set("root.A.T", "first second")}},
    {"an unfinished last line is set", "[Unit]\nSpeed = 3", {set("root.Unit.Speed", "3")}},
    {"a one-line value on an unfinished last line is a plain setting",
     "[Unit]\nBadge.x = { y }", {set("root.Unit.Badge.x", "{ y }")}},
};

TEST(Setparams, WritesTheSettingsOfEachFileForm) {
    for (const file_case &c : fileCases) {
        harness::Result result = setparams(c.file);
        EXPECT_EQ(harness::storeCalls(result), c.calls) << c.behaviour;
        EXPECT_EQ(result.err, "") << c.behaviour;
        EXPECT_EQ(result.out, "") << c.behaviour;
        EXPECT_EQ(result.status, 0) << c.behaviour;
    }
}

TEST(Setparams, WorkedExampleWritesInFileOrder) {
    const std::string file = "# defaults for the first unit\n[Unit]\nSpeed = 9600\n"
                             "Text = \"Front door\"\n   Label = two\\nlines\n"
                             "Title = first part \\\\\nsecond part\n"
                             "Badge.position {\n\tx = [ \"10\" ]\n}\n"
                             "Badge.size {\n\tw = [ \"64\" ]\n}\n"
                             "[Network]\nHostLabel = door-1   \n";
    const std::string stored = R"({"hash":[["position",{"hash":[["x",{"custom":"1"}]]}],)"
                               R"(["size",{"hash":[["w",{"custom":"32"}]]}]]})";
    harness::Result result = setparams(file, complex_script("root.Unit.Badge", stored));
    EXPECT_EQ(harness::storeCalls(result),
              (Lines{
                  set("root.Unit.Speed", "9600"),
                  set("root.Unit.Text", "Front door"),
                  set("root.Unit.Label", "two\\nlines"),
                  set("root.Unit.Title", "first part second part"),
                  "cli_getComplexParam(\"root.Unit.Badge\") = #1",
                  R"(cli_setComplexParam("root.Unit.Badge", {"hash":[["position",{"hash":[["x",{"custom":"10"}]]}],)"
                  R"(["size",{"hash":[["w",{"custom":"64"}]]}]]}))",
                  set("root.Network.HostLabel", "door-1"),
              }));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");

    harness::Result restored = setparams(file, "{}", {"--restore"});
    EXPECT_EQ(harness::storeCalls(restored)[2], set("root.Unit.Label", "two\\\\nlines"));
    EXPECT_EQ(harness::storeCalls(restored)[3],
              set("root.Unit.Title", "first part \\\\\\\\\\nsecond part"));
}

// Which complex lines are gathered into one value: one cli_getComplexParam
// per value written.
struct gathering_case {
    const char *behaviour;
    std::string file;
    Lines names; // the values written, in order
};

const gathering_case gatheringCases[] = {
    {"lines of one parameter are one value",
     "[U]\nRate.a {\n}\nRate.b {\n}\n", {"root.U.Rate"}},
    {"a longer name containing the pending one joins it",
     "[U]\nRate.a {\n}\nRateLimit.b {\n}\n", {"root.U.Rate"}},
    {"a shorter name does not", "[U]\nRateLimit.b {\n}\nRate.a {\n}\n",
     {"root.U.RateLimit", "root.U.Rate"}},
    {"a comment between lines splits the value", "[U]\nRate.a {\n}\n# c\nRate.b {\n}\n",
     {"root.U.Rate", "root.U.Rate"}},
    {"a value on the last lines is written at the end", "[U]\nRate.a {\n}", {"root.U.Rate"}},
    {"a value that the file ends inside is written at the end", "[U]\nRate.a {\n x = [ \"1\" ]\n",
     {"root.U.Rate"}},
};

TEST(Setparams, GathersComplexLinesPerParameter) {
    for (const gathering_case &c : gatheringCases) {
        std::string params;
        for (const char *name : {"root.U.Rate", "root.U.RateLimit"})
            params += std::string(params.empty() ? "" : ",") + R"({"name": ")" + name +
                      R"(", "tree": {"hash": []}})";
        harness::Result result = setparams(c.file, R"({"params": [)" + params + "]}");
        Lines written;
        for (const std::string &call : harness::storeCalls(result))
            if (call.rfind("cli_setComplexParam(\"", 0) == 0)
                written.push_back(call.substr(21, call.find('"', 21) - 21));
        EXPECT_EQ(written, c.names) << c.behaviour << "\n" << result.out << result.err;
        EXPECT_EQ(result.status, 0) << c.behaviour;
    }
}

TEST(Setparams, ARefusedSettingIsReportedAndTheRunGoesOn) {
    const std::string script =
        R"({"fail": [{"call": "cli_setCustomParam", "arg": "root.U.b", "error": -3}]})";
    harness::Result result =
        setparams("[U]\na = 1\nb = 2\nc = 3\n", script, {}, {"set", "root.U.d", "4"});
    EXPECT_EQ(harness::storeCalls(result),
              (Lines{set("root.U.a", "1"), set("root.U.b", "2") + " ! -3", set("root.U.c", "3"),
                     set("root.U.d", "4")}));
    program_run::expect_messages(result, {{3, "Error -3 setting 'root.U.b' to '2'!"}});
    EXPECT_EQ(result.status, 2);
}

TEST(Setparams, FilesThatCannotBeReadEndTheRun) {
    const std::string missing = "Unable to open file /nonexistent/params.txt: No such file or "
                                "directory";
    program_run::check({"a missing file", {"setparams", "/nonexistent/params.txt", "set",
                                           "root.U.z", "9"},
                        "", missing + "\n", 1, Lines{}, Lines{"3 " + missing}});
    program_run::check({"a directory", {"--nolog", "setparams", "/"}, "",
                        "Unable to read file /: Is a directory\n", 1, Lines{}, Lines{}});
}

TEST(Setparams, ReadsStandardInputAndLeavesItOpen) {
    harness::Result result = program_run::run(
        {"setparams", "-", "setparams", "-", "set", "root.U.z", "9"}, "{}", "root.U.a = 1\n");
    EXPECT_EQ(harness::storeCalls(result), (Lines{set("root.U.a", "1"), set("root.U.z", "9")}));
    EXPECT_EQ(result.status, 0);
}

// The stored tree, the merge calls in reading order, and the tree written.
TEST(Setparams, ComplexValueWorkedExampleMergesNodeByNode) {
    const std::string stored =
        R"({"hash":[["position",{"hash":[["x",{"custom":"1"}],["y",{"custom":"2"}]]}],)"
        R"(["size",{"hash":[["w",{"custom":"32"}],["tags",{"list":[{"custom":"a"},{"custom":"b"}]}]]}]]})";
    const std::string file = "[Unit]\nBadge.position {\n\tx = [ \"10\" ]\n}\n"
                             "Badge.size {\n\ttags = ( [ \"c\" ] )\n\th = [ \"48\" ]\n}\n";
    harness::Result result = setparams(file, complex_script("root.Unit.Badge", stored));
    Lines calls(result.calls.begin() + 1, result.calls.end());
    EXPECT_EQ(calls, (Lines{
        R"(cli_getComplexParam("root.Unit.Badge") = #1)",
        R"(drep_createData() = #10)", R"(drep_initializeHash(#10))",
        R"(drep_getHashValue(#1, "position") = #2)",
        R"(drep_createData() = #11)", R"(drep_initializeHash(#11))",
        R"(drep_getHashValue(#2, "x") = #3)",
        R"(drep_createData() = #12)", R"(drep_initializeScalar(#12, 3, "string"))",
        R"(drep_assignStringToCustom(#12, "10", 0))", R"(drep_assignStringToCustom(#3, "10", 0))",
        R"(drep_setHashValue(#11, #12, "x"))", R"(drep_setHashValue(#10, #11, "position"))",
        R"(drep_getHashValue(#1, "size") = #5)",
        R"(drep_createData() = #13)", R"(drep_initializeHash(#13))",
        R"(drep_getHashValue(#5, "tags") = #7)",
        R"(drep_createData() = #14)", R"(drep_initializeList(#14))",
        R"(drep_getFirstOfList(#7) = cell)", R"(drep_deleteListItem(#7, cell))",
        R"(drep_getFirstOfList(#7) = cell)", R"(drep_deleteListItem(#7, cell))",
        R"(drep_createData() = #15)", R"(drep_initializeScalar(#15, 3, "string"))",
        R"(drep_assignStringToCustom(#15, "c", 0))",
        R"(drep_addToList(#14, #15))", R"(drep_addToList(#7, #15))",
        R"(drep_setHashValue(#13, #14, "tags"))",
        R"(drep_getHashValue(#5, "h") = NULL)",
        R"(drep_createData() = #16)", R"(drep_initializeScalar(#16, 3, "string"))",
        R"(drep_assignStringToCustom(#16, "48", 0))",
        R"(drep_setHashValue(#13, #16, "h"))", R"(drep_setHashValue(#10, #13, "size"))",
        R"(cli_setComplexParam("root.Unit.Badge", )"
        R"({"hash":[["position",{"hash":[["x",{"custom":"10"}],["y",{"custom":"2"}]]}],)"
        R"(["size",{"hash":[["w",{"custom":"32"}],["tags",{"list":[{"custom":"c"}]}]]}]]}))"}));
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.status, 0);
}

struct fatal_case {
    const char *behaviour;
    std::string file;
    std::string fail; // a "fail" entry of the double's script
    Lines calls;      // what was read and written before the end
    std::string out;
    std::string error;
};

const std::string zonesTree = R"({"hash":[["mode",{"custom":"m"}],["rules",{"hash":[]}]]})";

const fatal_case fatalCases[] = {
    {"a complex line without a dot", "[U]\na = 1\nBadge {\n}\nb = 2\n", "",
     {set("root.U.a", "1")}, "", "Error in parsing Badge {\n}\n, exiting."},
    {"a complex line with an empty name", "[U]\na = 1\n.x {\n}\nb = 2\n", "",
     {set("root.U.a", "1")}, "", "Error in parsing .x {\n}\n, exiting."},
    {"a complex value before any section", "root.U.a = 1\nBadge.x {\n}\nroot.U.b = 2\n", "",
     {set("root.U.a", "1")}, "", "Error in parsing Badge.x {\n}\n, exiting."},
    {"a store error reading the value", "[U]\nZones.mode {\n}\na = 1\n",
     R"({"call": "cli_getComplexParam", "error": -7})",
     {R"(cli_getComplexParam("root.U.Zones") ! -7 = NULL)"}, "",
     "Error -7 getting complex parameter 'root.U.Zones'."},
    {"a store error writing the value", "[U]\nZones.rules { }\na = 1\n",
     R"({"call": "cli_setComplexParam", "error": -9})",
     {R"(cli_getComplexParam("root.U.Zones") = #1)",
      R"(cli_setComplexParam("root.U.Zones", {"hash":[["mode",{"custom":"m"}]]}) ! -9)"},
     "", "Error -9 setting complex parameter 'root.U.Zones'."},
    {"a refused deletion writes nothing", "[U]\nZones.rules { }\na = 1\n",
     R"({"call": "drep_deleteHashValue", "result": -1})",
     {R"(cli_getComplexParam("root.U.Zones") = #1)"}, "", "Error in parsing root.U.Zones."},
    {"a syntax error writes nothing", "[U]\nZones.x {\n mode = [\"auto\"]\n}\na = 1\n", "",
     {R"(cli_getComplexParam("root.U.Zones") = #1)"}, "syntax error 1\n",
     "Error in parsing root.U.Zones."},
};

TEST(Setparams, MalformedOrFailedComplexValuesEndTheRunKeepingWhatWasWritten) {
    for (const fatal_case &c : fatalCases) {
        SCOPED_TRACE(c.behaviour);
        std::string script = R"({"params": [{"name": "root.U.Zones", "tree": )" + zonesTree +
                             R"(}], "fail": [)" + c.fail + "]}";
        harness::Result result = setparams(c.file, script, {}, {"set", "root.U.z", "9"});
        EXPECT_EQ(harness::storeCalls(result), c.calls);
        EXPECT_EQ(result.out, c.out);
        program_run::expect_messages(result, {{3, c.error}});
        EXPECT_EQ(result.status, 1);
    }
}

// A value whose last entry has no value: reported on standard output, yet
// what was read is written, with the entry created at the top level.
TEST(Setparams, AMissingLastValueStillWritesTheValue) {
    harness::Result result =
        setparams("[U]\nZones.rules {\n allow = [ \"x\" ]\n} Zones.extra =",
                  complex_script("root.U.Zones", zonesTree));
    EXPECT_EQ(result.out, "SYNTAX error =\nHASH END\n");
    EXPECT_EQ(harness::storeCalls(result),
              (Lines{
                  R"(cli_getComplexParam("root.U.Zones") = #1)",
                  R"(cli_setComplexParam("root.U.Zones", {"hash":[["mode",{"custom":"m"}],["rules",{"hash":[]}],["extra",{"none":null}]]}))"}));
    EXPECT_EQ(result.status, 0);
}

const std::string zonesScript =
    complex_script("root.U.Zones", R"({"hash":[["a",{"custom":"old"}]]})");

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
            setparams(c.file, complex_script("root.U.Zones", c.stored));
        EXPECT_EQ(harness::storeCalls(result),
                  (Lines{"cli_getComplexParam(\"root.U.Zones\") = #1",
                         "cli_setComplexParam(\"root.U.Zones\", " + c.written + ")"}));
        EXPECT_EQ(result.status, 0);
    }
}

} // namespace
