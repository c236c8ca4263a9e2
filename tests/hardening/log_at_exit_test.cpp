// What a writer leaves in the store's files when it exits: its connection is
// closed (a reader's is not), which folds its commits into the store file and
// syncs them.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "front/program_run.h"

namespace {

off_t size_of(const std::string &path) {
    struct stat status;
    return stat(path.c_str(), &status) == 0 ? status.st_size : -1;
}

TEST(LogAtExit, AWriterFoldsItsCommitsIntoTheStoreFile) {
    harness::TempDir directory;
    std::string store = directory.file("store.db");
    harness::writeFile(directory.file("groups.json"),
                       R"({ "groups": [ { "group": "root.W", "items": [ { "parameter": "P", "value": "a" } ] } ] })");
    harness::Result writing = program_run::run_on(
        store, {"--nolog", "readgroupfile", directory.file("groups.json"), "set", "root.W.P", "b", "get", "root.W.P"});
    ASSERT_EQ(writing.status, 0) << writing.err;
    EXPECT_EQ(size_of(store + "-wal"), 0) << "the log is folded in and cut back";

    harness::Result reading = program_run::run_on(store, {"--nolog", "get", "root.W.P", "-", "NAMEVALUE"});
    EXPECT_EQ(reading.out, "root.W.P=\"b\"\n");
    EXPECT_EQ(size_of(store + "-wal"), 0);
}

} // namespace
