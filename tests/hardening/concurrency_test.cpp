// Four writers and four readers, each run of the program a process of its
// own, against one store for 20 seconds.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "front/program_run.h"

namespace {

constexpr int writers = 4;
constexpr int readers = 4;
constexpr auto runTime = std::chrono::seconds(20);

const char groupFile[] = R"({ "groups": [ { "group": "root.W", "items": [
  { "parameter": "P0", "value": "w0-0" }, { "parameter": "P1", "value": "w1-0" },
  { "parameter": "P2", "value": "w2-0" }, { "parameter": "P3", "value": "w3-0" },
  { "parameter": "Shared", "tree": { "v": { "a": "w0-0", "b": "w0-0", "l": ["w0-0", "w0-0"] } } }
] } ] })";

// Writer w's n-th file: its own plain parameter, and every leaf of the
// shared complex value, all with the same tag.
std::string writer_file(int writer, int n) {
    std::string tag = "w" + std::to_string(writer) + "-" + std::to_string(n);
    return "[W]\nP" + std::to_string(writer) + " = " + tag + "\nShared.v {\n\ta = [ \"" + tag +
           "\" ]\n\tb = [ \"" + tag + "\" ]\n\tl = ( [ \"" + tag + "\" ] [ \"" + tag +
           "\" ] )\n}\n";
}

struct Failures {
    std::mutex lock;
    std::vector<std::string> messages;
    void add(const std::string &message) {
        std::lock_guard<std::mutex> guard(lock);
        if (messages.size() < 20)
            messages.push_back(message);
    }
};

int tag_number(const std::string &tag) { return std::stoi(tag.substr(tag.find('-') + 1)); }

TEST(Concurrency, WritersAndReadersNeitherLoseNorTearValues) {
    harness::TempDir directory;
    std::string store = directory.file("store.db");
    harness::writeFile(directory.file("groups.json"), groupFile);
    // One run of the program against the store.
    auto program = [&](program_run::Lines args) {
        args.insert(args.begin(), "--nolog");
        return program_run::run_on(store, args);
    };
    const program_run::Lines listing = {"getgroup", "root.W", "-", "NAMEVALUESECTIONS"};
    harness::Result loaded = program({"readgroupfile", directory.file("groups.json")});
    ASSERT_EQ(loaded.status, 0) << loaded.err;

    Failures failures;
    std::atomic<bool> stop{false};
    std::vector<int> lastWritten(writers, 0);
    std::atomic<long> writes{0}, reads{0};

    std::vector<std::thread> threads;
    for (int w = 0; w < writers; w++)
        threads.emplace_back([&, w] {
            std::string file = directory.file("writer" + std::to_string(w) + ".txt");
            for (int n = 1; !stop; n++) {
                harness::writeFile(file, writer_file(w, n));
                harness::Result result = program({"setparams", file});
                if (result.status != 0) {
                    failures.add("writer " + std::to_string(w) + ": status " +
                                 std::to_string(result.status) + ": " + result.err);
                    continue;
                }
                lastWritten[w] = n;
                writes++;
            }
        });
    // Sectioned listings show complex values too. A reader sees each
    // writer's parameter only move forward, and the shared value always
    // carrying one tag in all four leaves.
    const std::regex plainLine(R"re(\nP(\d) += "(w\d-\d+)")re");
    const std::regex leafTag(R"re("(w\d-\d+)")re");
    for (int r = 0; r < readers; r++)
        threads.emplace_back([&, r] {
            std::vector<int> seen(writers, 0);
            while (!stop) {
                harness::Result result = program(listing);
                if (result.status != 0) {
                    failures.add("reader " + std::to_string(r) + ": status " +
                                 std::to_string(result.status) + ": " + result.err);
                    continue;
                }
                reads++;
                for (std::sregex_iterator match(result.out.begin(), result.out.end(), plainLine), end;
                     match != end; ++match) {
                    int writer = std::stoi((*match)[1]);
                    int n = tag_number((*match)[2]);
                    if (n < seen[writer])
                        failures.add("reader " + std::to_string(r) + " saw P" +
                                     std::to_string(writer) + " go back from " +
                                     std::to_string(seen[writer]) + " to " + std::to_string(n));
                    seen[writer] = n;
                }
                size_t shared = result.out.find("\nShared.");
                if (shared == std::string::npos) {
                    failures.add("reader " + std::to_string(r) + ": no shared value in\n" + result.out);
                    continue;
                }
                std::string sharedText = result.out.substr(shared);
                std::set<std::string> tags;
                int leaves = 0;
                for (std::sregex_iterator match(sharedText.begin(), sharedText.end(), leafTag), end;
                     match != end; ++match, ++leaves)
                    tags.insert((*match)[1]);
                if (leaves != 4 || tags.size() != 1)
                    failures.add("reader " + std::to_string(r) + ": torn shared value\n" + sharedText);
            }
        });
    std::this_thread::sleep_for(runTime);
    stop = true;
    for (std::thread &thread : threads)
        thread.join();

    for (const std::string &message : failures.messages)
        ADD_FAILURE() << message;
    // Enough happened for the run to mean something.
    EXPECT_GT(writes.load(), 4 * writers);
    EXPECT_GT(reads.load(), 4 * readers);

    // Every writer's last completed write is what the store holds.
    harness::Result final = program(listing);
    ASSERT_EQ(final.status, 0) << final.err;
    for (int w = 0; w < writers; w++)
        EXPECT_TRUE(std::regex_search(final.out, std::regex("\nP" + std::to_string(w) + " += \"w" +
                                                            std::to_string(w) + "-" +
                                                            std::to_string(lastWritten[w]) + "\"")))
            << "writer " << w << " last wrote " << lastWritten[w] << ":\n" << final.out;
    std::cout << writes << " writes and " << reads << " reads in " << runTime.count() << " s\n";
}

} // namespace
