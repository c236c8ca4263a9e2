// upgradedynparams on a directory tree: depth first in directory order,
// links and special files skipped, failed entries reported, paths as given.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "dynamic_group_requests.h"

namespace {

using namespace groups_test;

std::string badge_marker(int number) { return marker + badgeGroup(number) + " badge\n"; }
std::string request_for(int number) { return request("root.Badge", "badge", number); }

// The names of a directory in the order the file system hands them out.
Lines directory_order(const std::string &path) {
    Lines names;
    DIR *directory = opendir(path.c_str());
    if (directory == nullptr)
        return names;
    while (dirent *entry = readdir(directory))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, ".."))
            names.push_back(entry->d_name);
    closedir(directory);
    return names;
}

// The requests a depth-first walk of the tree should make: one for each
// regular file that has a number in `numbers`, keyed by path.
void expected_walk(const std::string &path, const std::map<std::string, int> &numbers,
                   Lines *requests) {
    for (const std::string &name : directory_order(path)) {
        std::string entry = path + "/" + name;
        struct stat status;
        ASSERT_EQ(lstat(entry.c_str(), &status), 0) << entry;
        if (S_ISDIR(status.st_mode))
            expected_walk(entry, numbers, requests);
        else if (S_ISREG(status.st_mode) && numbers.count(entry))
            requests->push_back(request_for(numbers.at(entry)));
    }
}

harness::Result upgrade(const std::string &path) {
    return program_run::run({"--nolog", "upgradedynparams", path}, badgeStore);
}

TEST(DirectoryWalk, ReadsRegularFilesDepthFirstAndSkipsEverythingElse) {
    harness::TempDir top;
    std::string tree = top.file("tree");
    std::string outside = top.file("outside");
    // Links to targets outside the tree: a walk that followed them would
    // ask for 90. Opening the pipe would block the walk.
    int made = -1;
    harness::shell("cd '" + top.path() + "' && mkdir -p tree/sub/deeper tree/zempty outside && " +
                       "ln -s \"$PWD/outside/linked.conf\" tree/link-to-file && " +
                       "ln -s \"$PWD/outside\" tree/sub/link-to-dir && " +
                       "ln -s /nonexistent/target tree/dangling && mkfifo tree/sub/pipe",
                   &made);
    ASSERT_EQ(made, 0);
    harness::writeFile(outside + "/linked.conf", badge_marker(90));
    harness::writeFile(tree + "/plain.txt", "no markers here\n");
    std::map<std::string, int> numbers = {
        {tree + "/a.conf", 11},           {tree + "/.hidden", 12},
        {tree + "/sub/b.conf", 13},       {tree + "/sub/deeper/c.conf", 14},
        {tree + "/sub/deeper/d.conf", 15}, {tree + "/z.conf", 16},
    };
    for (const auto &[path, number] : numbers)
        harness::writeFile(path, "# settings\n" + badge_marker(number));

    Lines expected;
    expected_walk(tree, numbers, &expected);
    ASSERT_EQ(expected.size(), numbers.size());

    harness::Result result = upgrade(tree);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(groupRequests(result), expected);
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 6);
}

TEST(DirectoryWalk, StatusIsThatOfTheLastEntryThatGaveOne) {
    // Contents are given by the order the directory hands the names out, so
    // that both orders of a failing and a succeeding file are seen.
    for (bool lastFails : {false, true}) {
        SCOPED_TRACE(lastFails ? "failing file last" : "succeeding file last");
        harness::TempDir top;
        harness::writeFile(top.file("one.conf"), "");
        harness::writeFile(top.file("two.conf"), "");
        Lines order = directory_order(top.path());
        ASSERT_EQ(order.size(), 2u);
        std::string fails = marker + "root.Badge.B3 nosuchtemplate\n";
        harness::writeFile(top.file(order[0]), lastFails ? badge_marker(4) : fails);
        harness::writeFile(top.file(order[1]), lastFails ? fails : badge_marker(4));
        harness::Result result = upgrade(top.path());
        EXPECT_EQ(result.status, lastFails ? 2 : 0) << result.err;
        EXPECT_EQ(result.out, "root.Badge.B4\n");
        EXPECT_EQ(result.err, "Error creating group under 'root.Badge'!\n");
    }
}

// Makes a directory whose path is short enough to open but too long for the
// path of an entry with a long name: the one lstat failure root cannot avoid.
class EntryPathTooLong : public testing::Test {
  protected:
    void SetUp() override {
        deep = top.path();
        while (deep.size() < 3900) {
            deep += "/" + std::string(std::min<size_t>(200, 3950 - deep.size()), 'd');
            ASSERT_EQ(mkdir(deep.c_str(), 0755), 0) << deep.size();
        }
        for (int number = 5; number <= 8; number++)
            harness::writeFile(deep + "/" + std::to_string(number) + ".conf", badge_marker(number));
        int directory = open(deep.c_str(), O_DIRECTORY | O_RDONLY);
        ASSERT_GE(directory, 0);
        int file = openat(directory, longName.c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(file, 0);
        close(file);
        close(directory);
    }
    void TearDown() override {
        // Removed here: no path to it is short enough for a plain unlink.
        int directory = open(deep.c_str(), O_DIRECTORY | O_RDONLY);
        if (directory >= 0) {
            unlinkat(directory, longName.c_str(), 0);
            close(directory);
        }
    }

    harness::TempDir top;
    std::string deep;
    const std::string longName = std::string(250, 'n');
};

TEST_F(EntryPathTooLong, IsReportedAndTheWalkGoesOn) {
    // The failure counts only when no file after it in directory order
    // succeeds; with several files that is rarely so.
    Lines expected;
    for (const std::string &name : directory_order(deep))
        if (name != longName)
            expected.push_back(request_for(std::stoi(name)));
    ASSERT_EQ(expected.size(), 4u);
    int expectedStatus = directory_order(deep).back() == longName ? 2 : 0;
    for (const std::string &given : {deep, deep + "/"}) {
        harness::Result result = upgrade(given);
        EXPECT_EQ(result.status, expectedStatus);
        EXPECT_EQ(result.err,
                  "Failed to stat/lstat " + deep + "/" + longName + ": File name too long\n");
        EXPECT_EQ(groupRequests(result), expected);
    }
}

TEST(EntryPaths, AreBuiltFromThePathAsGiven) {
    // A file the program may not open names the entry path in its message;
    // only an unprivileged user is refused.
    if (harness::shell("command -v setpriv").empty())
        GTEST_SKIP() << "setpriv is needed to run the program unprivileged";
    harness::TempDir top;
    ASSERT_EQ(chmod(top.path().c_str(), 0755), 0);
    std::string tree = top.file("tree");
    ASSERT_EQ(mkdir(tree.c_str(), 0755), 0);
    harness::writeFile(tree + "/locked.conf", badge_marker(3));
    ASSERT_EQ(chmod((tree + "/locked.conf").c_str(), 0), 0);

    struct Form {
        std::string cwd, path, entry;
    };
    for (const Form &form : {Form{tree, ".", "locked.conf"}, Form{tree, "./", "./locked.conf"},
                             Form{top.path(), "tree", "tree/locked.conf"},
                             Form{top.path(), "tree/", "tree/locked.conf"}}) {
        int status = -1;
        std::string output = harness::shell(
            "cd '" + form.cwd + "' && setpriv --reuid=65534 --regid=65534 --clear-groups '" +
                harness::programPath() + "' --nolog upgradedynparams '" + form.path + "' 2>&1",
            &status);
        EXPECT_EQ(output, "Unable to open file " + form.entry + ": Permission denied\n");
        EXPECT_EQ(status, 2) << form.path;
    }
}

} // namespace
