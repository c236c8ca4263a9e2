// The simple store commands against the embedded store, loaded with the
// example device.
#include "front/program_run.h"

namespace {

using SimpleCommandsOnTheStore = program_run::DeviceStore;

TEST_F(SimpleCommandsOnTheStore, setStoresValuesThatLaterRunsRead) {
    harness::Result set = run({"set", "root.Network.HostName", "door-1", "set",
                               "root.Image.Overlay.Text", "it's \"here\"", "sync"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.err, "Syncing parameters!\n");
    EXPECT_EQ(value("root.Network.HostName"), "door-1\n");
    EXPECT_EQ(value("root.Image.Overlay.Text"), "it's \"here\"\n");
}

TEST_F(SimpleCommandsOnTheStore, refusedSetEndsTheRunWithTheStoresCode) {
    harness::Result undeclared = run({"--nolog", "set", "root.Network.Nope", "1", "set",
                                      "root.Network.HostName", "never"});
    EXPECT_EQ(undeclared.err, "Error -2 setting 'root.Network.Nope' to '1'!\n"
                              "Failed to set parameter root.Network.Nope.\n");
    EXPECT_EQ(undeclared.status, 1);
    EXPECT_EQ(value("root.Network.HostName"), "camera-q3500\n");

    harness::Result rejected = run({"--nolog", "set", "root.Network.HostName", "a b"});
    EXPECT_EQ(rejected.err, "Error -10 setting 'root.Network.HostName' to 'a b'!\n"
                            "Failed to set parameter root.Network.HostName.\n");
    EXPECT_EQ(rejected.status, 1);
}

TEST_F(SimpleCommandsOnTheStore, deletegroupRemovesDynamicGroupsAndRefusesStaticOnes) {
    harness::Result added = run({"addgroup", "root.Badge", "badge"});
    ASSERT_EQ(added.status, 0) << added.err;
    ASSERT_EQ(added.out, "root.Badge.B0\n");
    EXPECT_EQ(value("root.Badge.B0.Enabled"), "yes\n");

    harness::Result deleted =
        run({"--nolog", "deletegroup", "root.Network", "deletegroup", "root.Badge.B0"});
    EXPECT_EQ(deleted.err, "Error deleteing group 'root.Network'\n");
    EXPECT_EQ(deleted.status, 2);
    EXPECT_EQ(value("root.Network.HostName"), "camera-q3500\n");

    harness::Result gone = run({"--nolog", "get", "root.Badge.B0.Enabled"});
    EXPECT_EQ(gone.err, "#Error -2 getting parameter 'root.Badge.B0.Enabled'!\n");
    EXPECT_EQ(gone.status, 2);
}

} // namespace
