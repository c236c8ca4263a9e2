#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "store_fixture.h"

namespace {

// Runs body in a child process; the child's exit status is body's result.
pid_t in_child(const std::function<int()> &body) {
    pid_t pid = fork();
    if (pid == 0)
        _exit(body());
    return pid;
}

int exit_status(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(StoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    load_ok(R"({ "groups": [ { "group": "root.Count", "items": [ { "parameter": "A", "value": "" },
                 { "parameter": "B", "value": "" } ] } ] })");
    constexpr int writes = 200;
    auto writer = [&](const char *name) {
        return [this, name] {
            ClientOptions own;
            cli_resetOptions(&own);
            for (int i = 1; i <= writes; ++i) {
                int32_t err = 99;
                cli_setCustomParam(name, std::to_string(i).c_str(), &own, &err);
                if (err != 0)
                    return 1;
                char *back = cli_getCustomParam(name, &own, &err);
                bool same = err == 0 && back && std::to_string(i) == back;
                std::free(back);
                if (!same)
                    return 2;
            }
            return 0;
        };
    };
    pid_t first = in_child(writer("root.Count.A"));
    pid_t second = in_child(writer("root.Count.B"));
    EXPECT_EQ(exit_status(first), 0) << "no write failed or read back wrong";
    EXPECT_EQ(exit_status(second), 0);
    EXPECT_EQ(get("root.Count.A"), std::to_string(writes));
    EXPECT_EQ(get("root.Count.B"), std::to_string(writes));
}

TEST_F(StoreTest, WriterWaitsForAnotherProcessInsteadOfFailing) {
    load_ok(deviceFile);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    // Another process holds the write lock for 300 ms.
    pid_t holder = in_child([&] {
        sqlite3 *db = nullptr;
        if (sqlite3_open(storePath.c_str(), &db) != SQLITE_OK ||
            sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
            return 1;
        (void)!write(ready[1], "x", 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return 0;
    });
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(set("root.Network.HostName", "after"), 0);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(exit_status(holder), 0);
    EXPECT_GE(waited, std::chrono::milliseconds(200));
    EXPECT_EQ(get("root.Network.HostName"), "after");
    close(ready[0]);
    close(ready[1]);
}

TEST_F(StoreTest, ChangeIsVisibleToAnotherProcessAtOnce) {
    load_ok(deviceFile);
    ASSERT_EQ(set("root.Network.HostName", "seen"), 0);
    pid_t reader = in_child([] {
        ClientOptions own;
        cli_resetOptions(&own);
        int32_t err = 99;
        char *value = cli_getCustomParam("root.Network.HostName", &own, &err);
        int result = err == 0 && value && std::string(value) == "seen" ? 0 : 1;
        std::free(value);
        return result;
    });
    EXPECT_EQ(exit_status(reader), 0);
}

TEST_F(StoreTest, ReaderThatKeepsReadingSeesAnotherProcessesChangeWithinFiftyMilliseconds) {
    load_ok(deviceFile);
    ASSERT_EQ(get("root.Network.HostName"), "cam");
    pid_t writer = in_child([] {
        ClientOptions own;
        cli_resetOptions(&own);
        int32_t err = 99;
        cli_setCustomParam("root.Network.HostName", "moved", &own, &err);
        return err == 0 ? 0 : 1;
    });
    ASSERT_EQ(exit_status(writer), 0);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
    std::string seen;
    while ((seen = get("root.Network.HostName")) != "moved" && std::chrono::steady_clock::now() < deadline) {
    }
    EXPECT_EQ(seen, "moved");
}

TEST_F(StoreTest, ChangesSurviveExitWithoutSync) {
    load_ok(deviceFile);
    pid_t writer = in_child([]() -> int {
        ClientOptions own;
        cli_resetOptions(&own);
        cli_setCustomParam("root.Network.HostName", "before-exit", &own, nullptr);
        std::exit(0);
    });
    EXPECT_EQ(exit_status(writer), 0);
    EXPECT_EQ(get("root.Network.HostName"), "before-exit");
}

} // namespace
