// Reads and writes of single parameters in a store of 10,000 parameters,
// in the default sync mode.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <kelbrin.h>

namespace {

constexpr int groupCount = 100;
constexpr int parametersPerGroup = 100;

struct BenchStore {
    std::string directory;
    std::vector<std::string> names;
    ClientOptions options{};

    BenchStore() {
        char pattern[] = "/tmp/kelbrin-bench-XXXXXX";
        if (!mkdtemp(pattern))
            std::abort();
        directory = pattern;
        setenv("KELBRIN_STORE", (directory + "/store.db").c_str(), 1);
        cli_resetOptions(&options);

        std::string file = "{ \"groups\": [";
        for (int g = 0; g < groupCount; ++g) {
            file += std::string(g ? "," : "") + "{ \"group\": \"root.Group" + std::to_string(g) + "\", \"items\": [";
            for (int p = 0; p < parametersPerGroup; ++p) {
                std::string name = "Param" + std::to_string(p);
                file += std::string(p ? "," : "") + "{ \"parameter\": \"" + name + "\", \"value\": \"v\" }";
                names.push_back("root.Group" + std::to_string(g) + "." + name);
            }
            file += "] }";
        }
        file += "] }";
        std::string path = directory + "/bench.json";
        std::ofstream(path) << file;
        int32_t err = 0;
        cli_readGroupFile(path.c_str(), &options, &err);
        if (err != 0)
            std::abort();
    }

    ~BenchStore() { std::filesystem::remove_all(directory); }
};

BenchStore &store() {
    static BenchStore instance;
    return instance;
}

// Walks the names with a stride, so that consecutive calls touch different pages.
const std::string &name_at(std::size_t i) {
    const std::vector<std::string> &names = store().names;
    return names[(i * 7919) % names.size()];
}

void BM_getCustomParam(benchmark::State &state) {
    BenchStore &s = store();
    std::size_t i = 0;
    for (auto _ : state) {
        int32_t err = 0;
        char *value = cli_getCustomParam(name_at(i++).c_str(), &s.options, &err);
        if (err != 0)
            state.SkipWithError("get failed");
        std::free(value);
    }
}
BENCHMARK(BM_getCustomParam)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_setCustomParam(benchmark::State &state) {
    BenchStore &s = store();
    std::size_t i = 0;
    for (auto _ : state) {
        int32_t err = 0;
        cli_setCustomParam(name_at(i).c_str(), std::to_string(i).c_str(), &s.options, &err);
        ++i;
        if (err != 0)
            state.SkipWithError("set failed");
    }
}
BENCHMARK(BM_setCustomParam)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
