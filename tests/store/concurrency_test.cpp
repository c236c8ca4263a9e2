#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

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

// Threads share the process's one connection: each call has the store to
// itself, so every write lands and every read and walk sees whole values.
TEST_F(StoreTable, ThreadsCallingAtOnceEachHaveTheStoreToThemselves) {
    fresh_store();
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&failures, t] {
            ClientOptions own;
            cli_resetOptions(&own);
            for (int i = 0; i < 100; ++i) {
                int32_t err = 0;
                std::string value = "t" + std::to_string(t) + "n" + std::to_string(i);
                cli_setCustomParam("root.Network.HostName", value.c_str(), &own, &err);
                failures += err != 0;
                GroupContext *walk = cli_getParamsInGroup("root.Network", &own, &err);
                failures += err != 0 || !walk;
                while (walk && cli_getParamInGroup(walk, &own, &err) == 0 && !walk->end) {
                    char *read = cli_getCustomParam(walk->paramName, &own, &err);
                    failures += err != 0 || !read || !*read;
                    std::free(read);
                }
                cli_cleanupGroupContext(walk);
            }
        });
    for (std::thread &thread : threads)
        thread.join();
    EXPECT_EQ(failures, 0);
}

} // namespace
