// getlist: names read from a file, one per line, into one output file.
#include "program_test_support.h"

namespace output_tests {
namespace {

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

TEST(GetList, FatalFailuresNameTheListFile) {
    harness::TempDir dir;
    harness::writeFile(dir.file("names"), "root.A.X\n");
    struct Case {
        Lines args;
        std::vector<Message> messages;
    };
    const std::string missing = dir.file("missing");
    const std::vector<Case> cases = {
        {{"getlist", dir.file("names"), dir.file("out"), "XML"},
         {{3, "Unsupported type: XML"},
          {3, "Failed to get list. List file " + dir.file("names") + "."}}},
        {{"getlist", missing, dir.file("out"), "VALUE"},
         {{3, "Unable to open file " + missing + ": No such file or directory"},
          {3, "Failed to get list. List file " + missing + "."}}},
    };
    for (const Case &c : cases) {
        harness::Result result = run(c.args, store({plain("root.A.X", "1")}));
        EXPECT_EQ(result.status, 1);
        expect_messages(result, c.messages);
    }
    EXPECT_EQ(harness::shell("ls -A " + dir.path()), "names\n");
}

} // namespace
} // namespace output_tests
