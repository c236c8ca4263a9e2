// upgradedynparams end to end against the embedded store and the example
// device's templates.
#include <sys/stat.h>
#include <unistd.h>

#include "dynamic_group_requests.h"

namespace {

using groups_test::badgeGroup;
using groups_test::marker;

// The marker line of the badge group with this number.
std::string marker_for(int number) { return marker + badgeGroup(number) + " badge\n"; }

class DeviceGroups : public program_run::DeviceStore {
  protected:
    harness::Result addgroup(const std::string &number = "") {
        if (number.empty())
            return run({"addgroup", "root.Badge", "badge"});
        return run({"addgroup", "root.Badge", "--number", number, "badge"});
    }
};

TEST_F(DeviceGroups, MarkerFilesOfATreeCreateTheirGroups) {
    harness::TempDir tree;
    ASSERT_EQ(mkdir(tree.file("sub").c_str(), 0755), 0);
    harness::writeFile(tree.file("sub/first.conf"), "# badge\n" + marker_for(2));
    harness::writeFile(tree.file(".hidden"), marker_for(3));
    // A link is skipped, so its marker's number stays free.
    harness::TempDir outside;
    harness::writeFile(outside.file("linked.conf"), marker_for(4));
    ASSERT_EQ(symlink(outside.file("linked.conf").c_str(), tree.file("link.conf").c_str()), 0);

    harness::Result walked = run({"--nolog", "upgradedynparams", "."}, "", tree.path());
    EXPECT_EQ(walked.status, 0) << walked.err;
    EXPECT_TRUE(walked.out == badgeGroup(2) + "\n" + badgeGroup(3) + "\n" ||
                walked.out == badgeGroup(3) + "\n" + badgeGroup(2) + "\n")
        << walked.out;

    EXPECT_EQ(addgroup("4").out, badgeGroup(4) + "\n");
    EXPECT_EQ(addgroup().out, badgeGroup(0) + "\n");
}

TEST_F(DeviceGroups, GroupsBeforeAFailureStayCreated) {
    std::string file = directory.file("groups.conf");
    harness::writeFile(file, marker_for(2) + marker_for(2));
    harness::Result result = run({"--nolog", "upgradedynparams", file});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, badgeGroup(2) + "\n");
    EXPECT_EQ(result.err, "Group 'root.Badge' already exists with number 2!\n");
    EXPECT_EQ(addgroup("2").status, 2);
}

} // namespace
