// get and getlist: parameters in each output type, their files and failures.
#include "program_test_support.h"

namespace output_tests {
namespace {

struct TypeCase {
    const char *type;
    std::string value;
    std::string expected;
};

TEST(Get, WritesEveryTypeByteForByte) {
    const std::string tricky = "it's \"q\" \\ back";
    const std::vector<TypeCase> cases = {
        {"SCRIPT", tricky, "root_Alpha_Name='it'\\''s \"q\" \\ back'\n"},
        {"SCRIPT", "", "root_Alpha_Name=''\n"},
        {"SCRIPT", "a\nb", "root_Alpha_Name='a\nb'\n"},
        {"VALUE", tricky, "\"it's \"q\" \\ back\"\n"},
        {"VALUE", "", "\"\"\n"},
        {"NAMEVALUE", tricky, "root.Alpha.Name=\"it's \"q\" \\ back\"\n"},
        {"NAMEVALUE", "", "root.Alpha.Name=\"\"\n"},
        {"PHP", tricky, "<?php\n$root_Alpha_Name = \"it's \\\"q\\\" \\\\ back\";\n"},
        {"PHP", "", "<?php\n$root_Alpha_Name = \"\";\n"},
        {"NAMEVALUESECTIONS", tricky, banner + "Name                     = \"it's \"q\" \\ back\"\n"},
        {"NAMEVALUESECTIONS", "", banner + "Name                     = \"\"\n"},
        {"FORM", tricky,
         "<input type='hidden' name='conf_Alpha_Name' value='it''s \"q\" \\ back'>\n"},
        {"FORM", "", "<input type='hidden' name='conf_Alpha_Name' value=''>\n"},
        {"RAW", tricky, "it's \"q\" \\ back\n"},
        {"RAW", "", "\n"},
        {"RAW", "a\nb", "a\nb\n"},
        {"php", "x", "<?php\n$root_Alpha_Name = \"x\";\n"},
        {"Php", "x", "<?php\n$root_Alpha_Name = \"x\";\n"},
        {"value", "x", "\"x\"\n"},
    };
    for (const TypeCase &c : cases) {
        harness::Result result = run({"get", "root.Alpha.Name", "-", c.type},
                                     store({plain("root.Alpha.Name", c.value)}));
        EXPECT_EQ(result.out, c.expected) << c.type << " of '" << c.value << "'";
        EXPECT_EQ(result.status, 0) << c.type;
    }
}

// A name of one dot has no section: reported, without a line.
TEST(Get, PadsShortNamesToTwentyFiveColumnsInSections) {
    const std::string name24(24, 'n'), name25(25, 'n'), name26(26, 'n');
    Lines args;
    for (const std::string &name : {"root.A." + name24, "root.A." + name25, "root.A." + name26,
                                    std::string("root.Foo")})
        args.insert(args.end(), {"get", name, "-", "NAMEVALUESECTIONS"});
    harness::Result result =
        run(args, store({plain("root.A." + name24, "1"), plain("root.A." + name25, "2"),
                         plain("root.A." + name26, "3"), plain("root.Foo", "4")}));
    EXPECT_EQ(result.out, banner + name24 + " = \"1\"\n" + banner + name25 + "= \"2\"\n" + banner +
                              name26 + "= \"3\"\n" + banner);
    expect_messages(result, {{3, "Internal error: '.'-delimited format expected."}});
    EXPECT_EQ(result.status, 0);
}

TEST(Get, ShowAccessAddsTheAccessControlTextToNameValueOnly) {
    harness::Result result =
        run({"--showaccess", "get", "root.A.Y", "-", "NAMEVALUE", "get", "root.A.X", "-",
             "NAMEVALUE", "get", "root.A.Y", "-", "SCRIPT"},
            store({plain("root.A.X", "1"),
                   json::parse(R"({"name": "root.A.Y", "value": "2", "accessControl": "rw"})")}));
    EXPECT_EQ(result.out, "root.A.Y=\"2\" accessControl=\"rw\"\n"
                          "root.A.X=\"1\" accessControl=\"\"\n"
                          "root_A_Y='2'\n");
    EXPECT_EQ(harness::storeCalls(result),
              (Lines{
                  "cli_getCustomParam(\"root.A.Y\") = \"2\"",
                  "cli_getParamOption(\"root.A.Y\", \"accessControl\") = \"rw\"",
                  "cli_getCustomParam(\"root.A.X\") = \"1\"",
                  "cli_getParamOption(\"root.A.X\", \"accessControl\") = NULL",
                  "cli_getCustomParam(\"root.A.Y\") = \"2\""}));
}

TEST(Get, EscapedValuesLongerThanTheEscapeBufferComeOutWhole) {
    const std::string quotes(300, '"'), apostrophes(300, '\'');
    harness::Result result =
        run({"get", "root.A.Q", "-", "PHP", "get", "root.A.P", "-", "FORM"},
            store({plain("root.A.Q", quotes), plain("root.A.P", apostrophes)}));
    std::string escapedQuotes, doubledApostrophes(600, '\'');
    for (int i = 0; i < 300; i++)
        escapedQuotes += "\\\"";
    EXPECT_EQ(result.out, "<?php\n$root_A_Q = \"" + escapedQuotes +
                              "\";\n<input type='hidden' name='conf_A_P' value='" +
                              doubledApostrophes + "'>\n");
}

TEST(Get, WritesIntoAFileCreatingOrTruncatingIt) {
    harness::TempDir dir;
    harness::writeFile(dir.file("old.txt"), "left over from before\n");
    harness::Result result = run({"get", "root.A.X", dir.file("new.txt"), "VALUE", "get",
                                  "root.A.X", dir.file("old.txt")},
                                 store({plain("root.A.X", "1")}));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(harness::readFile(dir.file("new.txt")), "\"1\"\n");
    EXPECT_EQ(harness::readFile(dir.file("old.txt")), "\"1\"\n");
}

TEST(Get, UnreadableValueLeavesTheHeaderAndTheRunGoesOn) {
    harness::TempDir dir;
    harness::Result result = run(
        {"get", "root.None", dir.file("out.php"), "PHP", "get", "root.A.Z", "-",
         "NAMEVALUESECTIONS", "get", "root.A.X"},
        store({plain("root.A.X", "1"), complex("root.A.Z", json::parse(R"({"hash": []})"))}));
    EXPECT_EQ(harness::readFile(dir.file("out.php")), "<?php\n");
    EXPECT_EQ(result.out, banner + "\"1\"\n");
    expect_messages(result, {{3, "//Error -2 getting parameter 'root.None'!"},
                             {3, "#Error -20 getting parameter 'root.A.Z'!"}});
    EXPECT_EQ(result.status, 2);
    // A complex parameter is not read in its complex form.
    EXPECT_EQ(harness::storeCalls(result),
              (Lines{"cli_getCustomParam(\"root.None\") ! -2 = NULL",
                     "cli_getCustomParam(\"root.A.Z\") ! -20 = NULL",
                     "cli_getCustomParam(\"root.A.X\") = \"1\""}));
}

struct ListCase {
    const char *behaviour;
    std::string names;
    const char *type;
    std::string expected;
};

TEST(GetList, WritesOneLinePerReadableName) {
    const std::string script =
        store({plain("root.A.X", "1"), plain("root.A.Y", "it's"), plain("root.B.Z", "3")});
    const std::vector<ListCase> cases = {
        {"empty list, PHP", "", "PHP", "<?php\n"},
        {"empty list, sections", "", "NAMEVALUESECTIONS", banner},
        {"last line without newline", "root.A.X\nroot.B.Z", "NAMEVALUE",
         "root.A.X=\"1\"\nroot.B.Z=\"3\"\n"},
        {"PHP has no trailer", "root.A.X\n", "PHP", "<?php\n$root_A_X = \"1\";\n"},
        {"sections have no headers", "root.A.X\nroot.B.Z\n", "NAMEVALUESECTIONS",
         banner + "X                        = \"1\"\nZ                        = \"3\"\n"},
        {"script quoting", "root.A.Y\n", "SCRIPT", "root_A_Y='it'\\''s'\n"},
    };
    harness::TempDir dir;
    for (const ListCase &c : cases) {
        harness::writeFile(dir.file("names"), c.names);
        harness::Result result =
            run({"getlist", dir.file("names"), dir.file("out"), c.type}, script);
        EXPECT_EQ(harness::readFile(dir.file("out")), c.expected) << c.behaviour;
        EXPECT_EQ(result.status, 0) << c.behaviour;
    }
}

TEST(GetList, ReadsStandardInputWritesStandardOutputAndCutsValuesAt255Characters) {
    const std::string longValue(300, 'v');
    harness::Result result =
        run({"getlist", "-", "-", "NAMEVALUE"},
            store({plain("root.A.X", "1"), plain("root.A.L", longValue)}), "root.A.X\nroot.A.L\n");
    EXPECT_EQ(result.out, "root.A.X=\"1\"\nroot.A.L=\"" + longValue.substr(0, 255) + "\"\n");
}

TEST(GetList, PassesEveryByteOfALineAndSplitsLinesAt255Characters) {
    const std::string longLine(300, 'n');
    harness::Result result = run({"getlist", "-", "-", "VALUE"}, store({plain("root.A.X", "1")}),
                                 "root.A.X\r\n\n" + longLine + "\nroot.A.X\n");
    EXPECT_EQ(harness::storeCalls(result),
              (Lines{
                  "cli_getCustomParamToBuf(\"root.A.X\\r\", 255) ! -2",
                  "cli_getCustomParamToBuf(\"\", 255) ! -2",
                  "cli_getCustomParamToBuf(\"" + longLine.substr(0, 255) + "\", 255) ! -2",
                  "cli_getCustomParamToBuf(\"" + longLine.substr(255) + "\", 255) ! -2",
                  "cli_getCustomParamToBuf(\"root.A.X\", 255)"}));
    EXPECT_EQ(result.out, "\"1\"\n");
    expect_messages(result, {{3, "#Error -2 getting parameter 'root.A.X\r'!"},
                             {3, "#Error -2 getting parameter ''!"},
                             {3, "#Error -2 getting parameter '" + longLine.substr(0, 255) + "'!"},
                             {3, "#Error -2 getting parameter '" + longLine.substr(255) + "'!"}});
    EXPECT_EQ(result.status, 2);
}

TEST(Get, FatalFailuresEndTheRunWithoutOpeningTheFile) {
    harness::TempDir dir;
    harness::writeFile(dir.file("names"), "root.A.X\n");
    const std::string script = store({plain("root.A.X", "1"), plain("root.A.Y", "2")});
    const std::string missing = dir.file("missing");
    struct Case {
        Lines args;
        std::vector<Message> messages;
    };
    const std::vector<Case> cases = {
        {{"get", "root.A.X", "out", "XML", "get", "root.A.Y"},
         {{3, "Unsupported type: XML"}, {3, "Failed to get parameter root.A.X."}}},
        {{"get", "root.A.X", "out", ""},
         {{3, "Unsupported type: "}, {3, "Failed to get parameter root.A.X."}}},
        // Three words after get are always name, file and type.
        {{"get", "root.A.X", "get", "root.A.Y"},
         {{3, "Unsupported type: root.A.Y"}, {3, "Failed to get parameter root.A.X."}}},
        {{"get", "root.A.X", dir.file("no/such/dir")},
         {{3, "Unable to open file " + dir.file("no/such/dir") + ": No such file or directory"},
          {3, "Failed to get parameter root.A.X."}}},
        // getlist names its list file.
        {{"getlist", "names", "out", "XML"},
         {{3, "Unsupported type: XML"}, {3, "Failed to get list. List file names."}}},
        {{"getlist", missing, "out", "VALUE"},
         {{3, "Unable to open file " + missing + ": No such file or directory"},
          {3, "Failed to get list. List file " + missing + "."}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        harness::Result result = run(c.args, script, "", dir.path());
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, "");
        expect_messages(result, c.messages);
        EXPECT_EQ(harness::storeCalls(result), Lines{});
    }
    EXPECT_EQ(harness::shell("ls -A " + dir.path()), "names\n");
}

} // namespace
} // namespace output_tests
