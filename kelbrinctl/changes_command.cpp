// changes [--since N] [--follow] [--json]: the store's change log, one
// change a line: sequence number, time (UTC), name, and for a plain
// parameter its new value's first bytes ("withheld" for one with a read
// level). --follow goes on printing the changes other processes make,
// polling the store, until interrupted.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "store/change_log.h"
#include "kelbrinctl/commands.h"
#include "kelbrinctl/log_position.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/store_access.h"

namespace kelbrinctl {

namespace {

using json = nlohmann::ordered_json;

// How often --follow looks for new changes: well within the second it promises.
constexpr std::chrono::milliseconds followInterval{200};

std::string time_text(const std::optional<int64_t> &seconds) {
    if (!seconds)
        return "-";
    std::time_t time = static_cast<std::time_t>(*seconds);
    std::tm parts{};
    char text[32];
    if (!gmtime_r(&time, &parts) ||
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts) == 0)
        return "-";
    return text;
}

std::string as_json(const json &value) {
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

void print_change(const kelbrin::Change &change, bool asJson) {
    std::string line;
    if (asJson) {
        json entry = {{"sequence", change.sequence},
                      {"time", change.time ? json(time_text(change.time)) : json(nullptr)},
                      {"name", change.name},
                      {"value", change.value ? json(*change.value) : json(nullptr)}};
        if (change.withheld)
            entry["withheld"] = true;
        line = as_json(entry);
    } else {
        line = std::to_string(change.sequence) + " " + time_text(change.time) + " " + change.name;
        // append, not "text" + string: g++ 12 warns falsely on that at -O3 (-Wrestrict).
        if (change.value)
            line.append(" ").append(printable(as_json(*change.value)));
        else if (change.withheld)
            line.append(" withheld");
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

int changes(const Invocation &invocation) {
    std::optional<std::string> since = invocation.value("--since");
    bool follow = invocation.has("--follow"), asJson = invocation.has("--json");
    int64_t after = since ? since_number("changes", *since) : 0;
    std::string path = store_path_for(invocation.store);
    std::unique_ptr<kelbrin::Database> store = open_store_to_read(path);
    store->begin_reading();
    bool missed = false;
    if (!since && follow) {
        after = last_change(*store);
    } else if (std::optional<int64_t> oldest = kelbrin::oldest_change(*store);
               since && oldest && *oldest > after + 1) {
        missed = true;
        print_line("kelbrinctl: changes: the changes after " + std::to_string(after) + " up to " +
                   std::to_string(*oldest - 1) + " are no longer kept; the oldest kept is " +
                   std::to_string(*oldest));
    }
    if (follow)
        catch_interrupts();
    for (;;) {
        kelbrin::read_changes(*store, after, [&](const kelbrin::Change &change) {
            print_change(change, asJson);
            after = change.sequence;
        });
        store->end_reading();
        std::fflush(stdout);
        if (!follow || interrupted())
            break;
        std::this_thread::sleep_for(followInterval);
        if (interrupted())
            break;
        store->begin_reading();
    }
    if (std::ferror(stdout))
        throw Failure("changes: cannot write to standard output");
    return missed ? exitFailed : exitDone;
}

constexpr Option options[] = {{"--since", "N"}, {"--follow"}, {"--json"}};

} // namespace

extern const Command changesCommand{
    .name = "changes",
    .options = options,
    .summary = "the change log, after change N; --follow waits for more",
    .run = changes,
};

} // namespace kelbrinctl
