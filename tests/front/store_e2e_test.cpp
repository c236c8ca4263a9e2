// The simple store commands against the embedded store, loaded with the
// example device.
#include <gtest/gtest.h>

#include "harness.h"

namespace {

class SimpleCommandsOnTheStore : public testing::Test {
  protected:
    void SetUp() override {
        harness::Result loaded = kelbrinclient({"readgroupfile", device});
        ASSERT_EQ(loaded.status, 0) << loaded.err;
    }

    harness::Result kelbrinclient(std::vector<std::string> args) {
        harness::Run request;
        request.realStore = true;
        request.storePath = directory.file("store.db");
        request.args = std::move(args);
        return harness::run(request);
    }

    std::string value(const std::string &name) {
        harness::Result read = kelbrinclient({"get", name, "-", "RAW"});
        EXPECT_EQ(read.status, 0) << read.err;
        return read.out;
    }

    harness::TempDir directory;
    const std::string device = harness::sourceDir() + "/examples/device.json";
};

TEST_F(SimpleCommandsOnTheStore, setStoresValuesThatLaterRunsRead) {
    harness::Result set = kelbrinclient({"set", "root.Network.HostName", "door-1", "set",
                                         "root.Image.Overlay.Text", "it's \"here\"", "sync"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.err, "Syncing parameters!\n");
    EXPECT_EQ(value("root.Network.HostName"), "door-1\n");
    EXPECT_EQ(value("root.Image.Overlay.Text"), "it's \"here\"\n");
}

TEST_F(SimpleCommandsOnTheStore, refusedSetEndsTheRunWithTheStoresCode) {
    harness::Result undeclared = kelbrinclient({"--nolog", "set", "root.Network.Nope", "1", "set",
                                                "root.Network.HostName", "never"});
    EXPECT_EQ(undeclared.err, "Error -2 setting 'root.Network.Nope' to '1'!\n"
                              "Failed to set parameter root.Network.Nope.\n");
    EXPECT_EQ(undeclared.status, 1);
    EXPECT_EQ(value("root.Network.HostName"), "camera-q3500\n");

    harness::Result rejected = kelbrinclient({"--nolog", "set", "root.Network.HostName", "a b"});
    EXPECT_EQ(rejected.err, "Error -10 setting 'root.Network.HostName' to 'a b'!\n"
                            "Failed to set parameter root.Network.HostName.\n");
    EXPECT_EQ(rejected.status, 1);
}

TEST_F(SimpleCommandsOnTheStore, readingTheFileAgainKeepsCurrentValues) {
    ASSERT_EQ(kelbrinclient({"set", "root.Network.HostName", "door-2"}).status, 0);
    harness::Result again = kelbrinclient({"readgroupfile", device});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(value("root.Network.HostName"), "door-2\n");
}

TEST_F(SimpleCommandsOnTheStore, brokenGroupFileIsReportedAndChangesNothing) {
    std::string broken = directory.file("broken.json");
    harness::writeFile(broken, "{ \"groups\": [ { \"group\": \"root.New\", ");
    harness::Result result = kelbrinclient({"--nolog", "readgroupfile", broken});
    EXPECT_EQ(result.err, "Error -17 reading file '" + broken + "' into kelbrin!\n" +
                              "Failed to read groupfile '" + broken + "'\n");
    EXPECT_EQ(result.status, 1);
}

TEST_F(SimpleCommandsOnTheStore, deletegroupRemovesDynamicGroupsAndRefusesStaticOnes) {
    harness::Result added = kelbrinclient({"addgroup", "root.Badge", "badge"});
    ASSERT_EQ(added.status, 0) << added.err;
    ASSERT_EQ(added.out, "root.Badge.B0\n");
    EXPECT_EQ(value("root.Badge.B0.Enabled"), "yes\n");

    harness::Result deleted = kelbrinclient(
        {"--nolog", "deletegroup", "root.Network", "deletegroup", "root.Badge.B0"});
    EXPECT_EQ(deleted.err, "Error deleteing group 'root.Network'\n");
    EXPECT_EQ(deleted.status, 2);
    EXPECT_EQ(value("root.Network.HostName"), "camera-q3500\n");

    harness::Result gone = kelbrinclient({"--nolog", "get", "root.Badge.B0.Enabled"});
    EXPECT_EQ(gone.err, "#Error -2 getting parameter 'root.Badge.B0.Enabled'!\n");
    EXPECT_EQ(gone.status, 2);
}

TEST_F(SimpleCommandsOnTheStore, syncUnderNosyncNeverReachesTheStore) {
    harness::Result result = kelbrinclient({"--nolog", "-n", "sync"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(kelbrinclient({"--sync-nosig", "sync"}).status, 0);
}

} // namespace
