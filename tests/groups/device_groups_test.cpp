// Dynamic groups end to end against the embedded store and the example
// device's templates.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "device_store.h"

namespace {

using groups_test::badgeGroup;
using groups_test::badgeMaximum;
using groups_test::badgeParent;
using groups_test::badgeTemplate;

const std::string marker = "#DO NOT REMOVE THIS LINE: ";

class DeviceGroups : public groups_test::DeviceStore {
  protected:
    harness::Result addgroup(const std::string &number = "") {
        if (number.empty())
            return run({"addgroup", badgeParent, badgeTemplate});
        return run({"addgroup", badgeParent, "--number", number, badgeTemplate});
    }
};

TEST_F(DeviceGroups, StoreChoosesTheLowestFreeNumberAroundARequestedOne) {
    EXPECT_EQ(addgroup().out, badgeGroup(0) + "\n");
    EXPECT_EQ(addgroup("2").out, badgeGroup(2) + "\n");
    harness::Result chosen = addgroup();
    EXPECT_EQ(chosen.status, 0) << chosen.err;
    EXPECT_EQ(chosen.out, badgeGroup(1) + "\n");
    EXPECT_EQ(addgroup().out, badgeGroup(3) + "\n");
}

TEST_F(DeviceGroups, TakenNumberIsRefusedAndTheRunGoesOn) {
    ASSERT_EQ(addgroup("3").status, 0);
    harness::Result result = run({"--nolog", "addgroup", badgeParent, "--number", "3",
                                  badgeTemplate, "addgroup", badgeParent, badgeTemplate});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "Group '" + std::string(badgeParent) + "' already exists with number 3!\n");
    EXPECT_EQ(result.out, badgeGroup(0) + "\n");
}

TEST_F(DeviceGroups, TemplateAtItsMaximumIsRefused) {
    for (int number = 0; number < badgeMaximum; number++)
        ASSERT_EQ(addgroup().out, badgeGroup(number) + "\n");
    harness::Result refused = run({"--nolog", "addgroup", badgeParent, badgeTemplate});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err, "Error creating group under '" + std::string(badgeParent) +
                               "'! (limited number allowed)\n");
}

TEST_F(DeviceGroups, UnknownTemplateIsAnError) {
    harness::Result result = run({"--nolog", "addgroup", badgeParent, "nosuchtemplate"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "Error creating group under '" + std::string(badgeParent) + "'!\n");
}

TEST_F(DeviceGroups, MarkerFilesOfATreeCreateTheirGroups) {
    harness::TempDir tree;
    ASSERT_EQ(mkdir(tree.file("sub").c_str(), 0755), 0);
    auto marker_for = [](int number) {
        return marker + badgeGroup(number) + " " + badgeTemplate + "\n";
    };
    harness::writeFile(tree.file("sub/first.conf"), "# badge\n" + marker_for(2));
    harness::writeFile(tree.file(".hidden"), marker_for(3));
    // A link is skipped, so its marker's number stays free.
    harness::TempDir outside;
    harness::writeFile(outside.file("linked.conf"), marker_for(4));
    ASSERT_EQ(symlink(outside.file("linked.conf").c_str(), tree.file("link.conf").c_str()), 0);

    harness::Result walked = run({"--nolog", "upgradedynparams", "."}, tree.path());
    EXPECT_EQ(walked.status, 0) << walked.err;
    std::string out = walked.out;
    EXPECT_TRUE(out == badgeGroup(2) + "\n" + badgeGroup(3) + "\n" ||
                out == badgeGroup(3) + "\n" + badgeGroup(2) + "\n")
        << out;

    EXPECT_EQ(addgroup("4").out, badgeGroup(4) + "\n");
    EXPECT_EQ(addgroup().out, badgeGroup(0) + "\n");
}

TEST_F(DeviceGroups, GroupsBeforeAFailureStayCreated) {
    harness::TempDir directory;
    std::string file = directory.file("groups.conf");
    harness::writeFile(file, marker + badgeGroup(2) + " " + badgeTemplate + "\n" + marker +
                                 badgeGroup(2) + " " + badgeTemplate + "\n");
    harness::Result result = run({"--nolog", "upgradedynparams", file});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, badgeGroup(2) + "\n");
    EXPECT_EQ(result.err, "Group '" + std::string(badgeParent) + "' already exists with number 2!\n");
    EXPECT_EQ(addgroup("2").status, 2);
}

} // namespace
