// setparams killed with SIGKILL at random moments while it imports a large
// file into the real store: the store must stay a sound database in which
// the file's changes are present up to some setting and absent after it.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <iostream>
#include <kelbrin.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "front/program_run.h"

namespace {

constexpr int plainCount = 1500;
constexpr int complexEvery = 100; // a complex setting after every 100 plain ones
constexpr int kills = 50;

std::string plain_name(int index) { return "P" + std::to_string(index); }
std::string complex_name(int index) { return "T" + std::to_string(index); }

std::string group_file() {
    std::string items;
    for (int i = 0; i < plainCount; i++)
        items += R"({ "parameter": ")" + plain_name(i) + R"(", "value": "start" },)";
    for (int i = 0; i < plainCount / complexEvery; i++)
        items += R"({ "parameter": ")" + complex_name(i) +
                 R"(", "tree": { "v": { "a": "start", "b": "start" } } },)";
    items.pop_back();
    return R"({ "groups": [ { "group": "root.Big", "items": [ )" + items + " ] } ] }";
}

// One setting of the file, in file order: a plain parameter or, for a
// complex one, both of its leaves (written by one store call).
struct Setting {
    bool complex;
    int index;
};

std::vector<Setting> settings_in_order() {
    std::vector<Setting> order;
    for (int i = 0; i < plainCount; i++) {
        order.push_back({false, i});
        if ((i + 1) % complexEvery == 0)
            order.push_back({true, i / complexEvery});
    }
    return order;
}

std::string round_value(int round, int index) {
    return "r" + std::to_string(round) + "-" + std::to_string(index);
}

std::string parameter_file(int round) {
    std::string text = "[Big]\n";
    for (const Setting &setting : settings_in_order()) {
        std::string value = round_value(round, setting.index);
        if (setting.complex)
            text += complex_name(setting.index) + ".v {\n\ta = [ \"" + value + "\" ]\n\tb = [ \"" +
                    value + "\" ]\n}\n";
        else
            text += plain_name(setting.index) + " = " + value + "\n";
    }
    return text;
}

// The stored state of every setting, read through the library: a plain value,
// or "a|b" for a complex one.
std::vector<std::string> read_settings() {
    ClientOptions options;
    cli_resetOptions(&options);
    std::vector<std::string> values;
    for (const Setting &setting : settings_in_order()) {
        int32_t error = 0;
        std::string name = "root.Big." + (setting.complex ? complex_name(setting.index)
                                                          : plain_name(setting.index));
        if (!setting.complex) {
            char *value = cli_getCustomParam(name.c_str(), &options, &error);
            values.push_back(error == 0 && value ? value : "<error " + std::to_string(error) + ">");
            std::free(value);
            continue;
        }
        DataNode *tree = cli_getComplexParam(name.c_str(), &options, &error);
        DataNode *v = tree ? drep_getHashValue(tree, "v") : nullptr;
        DataNode *a = v ? drep_getHashValue(v, "a") : nullptr;
        DataNode *b = v ? drep_getHashValue(v, "b") : nullptr;
        char flag = 0;
        const char *aText = a ? drep_getStringFromCustom(a, &flag) : nullptr;
        const char *bText = b ? drep_getStringFromCustom(b, &flag) : nullptr;
        values.push_back(error != 0 || !aText || !bText ? "<error " + std::to_string(error) + ">"
                                                        : std::string(aText) + "|" + bText);
        std::free(tree);
    }
    return values;
}

std::string expected_value(const Setting &setting, const std::string &value) {
    return setting.complex ? value + "|" + value : value;
}

std::string integrity_of(const std::string &path) {
    return harness::shell("sqlite3 '" + path + "' 'PRAGMA integrity_check' 2>&1");
}

// When the store's write-ahead log last changed: it changes with every commit.
std::optional<timespec> log_changed(const std::string &store) {
    struct stat status;
    if (stat((store + "-wal").c_str(), &status) != 0)
        return std::nullopt;
    return status.st_mtim;
}

bool same_time(const std::optional<timespec> &a, const std::optional<timespec> &b) {
    return a.has_value() == b.has_value() &&
           (!a || (a->tv_sec == b->tv_sec && a->tv_nsec == b->tv_nsec));
}

struct ImportRun {
    int status;
    std::chrono::microseconds writing; // from its first write to its end or kill
};

// Starts setparams on the file and kills it once the delay has passed since
// its first write, unless it ended first. Counting from the first write
// rather than from the start keeps the kills inside the import however slow
// start-up is (under emulation it is most of a run).
ImportRun run_and_kill(const std::string &store, const std::string &file,
                 std::chrono::microseconds delay) {
    std::string program = harness::programPath();
    std::vector<std::string> words{program, "--nolog", "setparams", file};
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    // The child finds the store through the test's own KELBRIN_STORE.
    pid_t child = fork();
    if (child == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    std::optional<timespec> unchanged = log_changed(store);
    std::optional<std::chrono::steady_clock::time_point> firstWrite;
    while (waitpid(child, &status, WNOHANG) == 0) {
        auto now = std::chrono::steady_clock::now();
        if (!firstWrite && !same_time(log_changed(store), unchanged))
            firstWrite = now;
        if (firstWrite && now >= *firstWrite + delay) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    auto end = std::chrono::steady_clock::now();
    return {status, std::chrono::duration_cast<std::chrono::microseconds>(
                        end - firstWrite.value_or(end))};
}

TEST(CrashSafety, KilledImportLeavesAPrefixOfTheFileAndASoundStore) {
    harness::TempDir directory;
    std::string store = directory.file("store.db");
    setenv("KELBRIN_STORE", store.c_str(), 1);
    harness::writeFile(directory.file("groups.json"), group_file());
    harness::Result loaded =
        program_run::run_on(store, {"--nolog", "readgroupfile", directory.file("groups.json")});
    ASSERT_EQ(loaded.status, 0) << loaded.err;

    std::vector<Setting> order = settings_in_order();
    std::vector<std::string> before = read_settings();
    for (size_t i = 0; i < order.size(); i++)
        ASSERT_EQ(before[i], expected_value(order[i], "start"));

    // Round 0 runs whole and measures how long an import takes.
    std::string file = directory.file("settings.txt");
    harness::writeFile(file, parameter_file(0));
    ImportRun whole = run_and_kill(store, file, std::chrono::seconds(120));
    ASSERT_TRUE(WIFEXITED(whole.status) && WEXITSTATUS(whole.status) == 0);
    ASSERT_GT(whole.writing.count(), 0) << "the import never wrote to the log";
    before = read_settings();
    for (size_t i = 0; i < order.size(); i++)
        ASSERT_EQ(before[i], expected_value(order[i], round_value(0, order[i].index)));

    unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> moment(0, whole.writing.count());
    int partial = 0;
    for (int round = 1; round <= kills; round++) {
        SCOPED_TRACE("round " + std::to_string(round) + ", seed " + std::to_string(seed));
        harness::writeFile(file, parameter_file(round));
        run_and_kill(store, file, std::chrono::microseconds(moment(random)));

        ASSERT_EQ(integrity_of(store), "ok\n");
        std::vector<std::string> after = read_settings();
        // New values from the start of the file, then old values only.
        size_t written = 0;
        while (written < order.size() &&
               after[written] == expected_value(order[written], round_value(round, order[written].index)))
            written++;
        for (size_t i = written; i < order.size(); i++)
            ASSERT_EQ(after[i], before[i]) << "setting " << i << " of " << order.size()
                                           << " after a prefix of " << written;
        if (written > 0 && written < order.size())
            partial++;
        before = after;
    }
    // The kills must really have landed inside imports, not only around them.
    EXPECT_GE(partial, kills / 4) << "seed " << seed;
    std::cout << partial << " of " << kills << " kills cut an import of " << order.size()
              << " settings (" << whole.writing.count() / 1000 << " ms of writing)\n";

    harness::Result reading = program_run::run_on(store, {"--nolog", "get", "root.Big.P0"});
    EXPECT_EQ(reading.status, 0) << reading.err;
}

} // namespace
