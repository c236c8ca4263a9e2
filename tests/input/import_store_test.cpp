// setparams end to end: parameter files change the embedded store holding
// the example device, and its own sectioned listing reads back.
#include "front/program_run.h"

namespace {

class SetparamsStore : public program_run::DeviceStore {
  protected:
    harness::Result setparams(const std::string &file) {
        return run({"--nolog", "setparams", "-"}, file);
    }

    std::string listing(const std::string &group) {
        return run({"getgroup", group, "-", "NAMEVALUESECTIONS"}).out;
    }
};

TEST_F(SetparamsStore, FullNameAndSectionFilesSetTheirNames) {
    harness::Result full =
        setparams("# site settings\nroot.Network.DomainName = example.org\nroot.Image.FPS = \"25\"\n");
    EXPECT_EQ(full.status, 0) << full.err;
    EXPECT_EQ(value("root.Network.DomainName"), "example.org\n");
    EXPECT_EQ(value("root.Image.FPS"), "25\n");

    harness::Result sections = setparams("[Image]\nFPS = 15\nRotation = 180\n\n[Image.Overlay]\n"
                                         "Text = \"Back door\\nyard\"\n");
    EXPECT_EQ(sections.status, 0) << sections.err;
    EXPECT_EQ(value("root.Image.FPS"), "15\n");
    EXPECT_EQ(value("root.Image.Rotation"), "180\n");
    EXPECT_EQ(value("root.Image.Overlay.Text"), "Back door\nyard\n");
}

TEST_F(SetparamsStore, ARefusedValueIsReportedAndTheRestIsWritten) {
    harness::Result result = setparams("[Image]\nNoSuchParameter = 1\nFPS = 10\n");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "Error -2 setting 'root.Image.NoSuchParameter' to '1'!\n");
    EXPECT_EQ(value("root.Image.FPS"), "10\n");
}

TEST_F(SetparamsStore, AComplexValueIsMergedIntoTheStoredTree) {
    const std::string before = listing("root.Image");
    const std::string stored = "Zones.ports \t =  ( [ \"80\"  ]  [ \"443\"  ]  )\n"
                               "Zones.schedule  {\n\tstart \t\t =  [ \"08:00\"  ] \n";
    size_t at = before.find(stored);
    ASSERT_NE(at, std::string::npos) << before;
    // The blank line writes the first value; in the second, "{" ends the
    // first key and opens a value that needs no "{" of its own.
    harness::Result result = setparams("[Image]\nZones.schedule {\n\tstart = [ \"09:30\" ]\n}\n\n"
                                       "Zones.ports{= ( [ \"8080\" ] )\n}\n");
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(listing("root.Image"), before.substr(0, at) +
                                         "Zones.ports \t =  ( [ \"8080\"  ]  )\n"
                                         "Zones.schedule  {\n\tstart \t\t =  [ \"09:30\"  ] \n" +
                                         before.substr(at + stored.size()));
}

// The listing's scalar members at the top of a complex value contain "[", so
// they read as section headers: the first complex value after one cannot be
// found under that section and ends the run. Everything before it is
// written back as listed, and nothing is changed on the way.
TEST_F(SetparamsStore, TheSectionedListingReadsBackUnchanged) {
    const std::string listed = listing("root");
    ASSERT_NE(listed.find("[Network]"), std::string::npos);
    ASSERT_EQ(run({"set", "root.Network.DomainName", "changed", "set", "root.Image.FPS", "12"}).status,
              0);

    harness::Result result = setparams(listed);
    EXPECT_EQ(result.err, "Error -12 getting complex parameter 'root.\"80\".Zones'.\n");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(listing("root"), listed);
}

// Complex values in the listing's own text, handed over with their section.
TEST_F(SetparamsStore, ListedComplexValuesReadBack) {
    const std::string listed = listing("root.Security");
    size_t start = listed.find("Firewall.rules");
    size_t end = listed.find("\n\n", start);
    ASSERT_NE(start, std::string::npos);
    const std::string rulesAndLog = listed.substr(start, end + 1 - start);

    ASSERT_EQ(setparams("[Security]\nFirewall.log {\n\tlevel = [ \"7\" ]\n}\n"
                        "\nFirewall.rules{= ( )\n}\n").status,
              0);
    ASSERT_NE(listing("root.Security"), listed);

    harness::Result result = setparams("[Security]\n" + rulesAndLog);
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(listing("root.Security"), listed);
}

} // namespace
