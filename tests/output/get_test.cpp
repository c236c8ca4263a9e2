// get: one parameter in each output type, its files and its failures.
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

TEST(Get, FatalFailuresEndTheRunWithoutOpeningTheFile) {
    harness::TempDir dir;
    const std::string script = store({plain("root.A.X", "1"), plain("root.A.Y", "2")});
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
    };
    for (const Case &c : cases) {
        harness::Result result = run(c.args, script, "", dir.path());
        EXPECT_EQ(result.status, 1) << c.args[2 % c.args.size()];
        EXPECT_EQ(result.out, "");
        expect_messages(result, c.messages);
        EXPECT_EQ(harness::storeCalls(result), Lines{});
    }
    EXPECT_EQ(harness::shell("ls -A " + dir.path()), "");
}

} // namespace
} // namespace output_tests
