#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "store_table.h"

namespace {

// Only a process that keeps calling shows it: the other process's write
// reaches it within 50 ms, however its reads share snapshots.
TEST_F(StoreTable, ReaderThatKeepsReadingSeesAnotherProcesssWriteWithinFiftyMilliseconds) {
    fresh_store();
    ASSERT_EQ(run("get root.Network.HostName"), "gh1");
    int status = -1;
    if (pid_t writer = fork(); writer == 0)
        _exit(run("set root.Network.HostName moved") == "OK" ? 0 : 1);
    else
        waitpid(writer, &status, 0);
    ASSERT_EQ(status, 0);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    std::string seen;
    while ((seen = run("get root.Network.HostName")) != "moved" &&
           std::chrono::steady_clock::now() < deadline) {
    }
    EXPECT_EQ(seen, "moved");
}

} // namespace
