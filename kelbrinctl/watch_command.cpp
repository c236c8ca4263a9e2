// watch [--since N] [--once] [GROUP...] -- COMMAND [ARG...]: runs COMMAND
// after changes under the groups (the whole store without any), with the
// changed names on its standard input, one a line. Changes close together
// go to one run; none starts while one runs, and what changes meanwhile
// goes to the next. A line "*" says the log no longer holds every change
// since the last run. --once: one run, then exit with its outcome.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "store/change_log.h"
#include "kelbrinctl/commands.h"
#include "kelbrinctl/log_position.h"
#include "kelbrinctl/messages.h"
#include "kelbrinctl/store_access.h"

namespace kelbrinctl {

namespace {

// How often the log is looked at while nothing happens.
constexpr std::chrono::milliseconds pollInterval{200};
// Once a change is seen, the batch grows while changes keep coming this
// close together, for at most settleRounds looks.
constexpr std::chrono::milliseconds settleInterval{100};
constexpr int settleRounds = 20;

struct Batch {
    bool logCutShort = false;
    std::vector<std::string> names; // each once, in the order first changed
    bool empty() const { return !logCutShort && names.empty(); }
};

bool lower_equal(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// A name is watched when it is one of the groups or lies under one.
bool watched(const std::string &name, const std::vector<std::string> &groups) {
    if (groups.empty())
        return true;
    return std::any_of(groups.begin(), groups.end(), [&](const std::string &group) {
        return lower_equal(group, "root") || lower_equal(name, group) ||
               (name.size() > group.size() && name[group.size()] == '.' &&
                lower_equal(std::string_view(name).substr(0, group.size()), group));
    });
}

// Adds the watched changes after `after` to the batch and moves `after` past them.
void collect(kelbrin::Database &store, int64_t &after, const std::vector<std::string> &groups, Batch &batch) {
    store.begin_reading();
    if (std::optional<int64_t> oldest = kelbrin::oldest_change(store); oldest && *oldest > after + 1)
        batch.logCutShort = true;
    kelbrin::read_changes(store, after, [&](const kelbrin::Change &change) {
        after = change.sequence;
        if (watched(change.name, groups) &&
            std::find(batch.names.begin(), batch.names.end(), change.name) == batch.names.end())
            batch.names.push_back(change.name);
    });
    store.end_reading();
}

// Runs the command with the batch on its standard input; true when it succeeded.
bool run_command(const std::vector<std::string> &command, const Batch &batch) {
    std::unique_ptr<FILE, int (*)(FILE *)> input(std::tmpfile(), std::fclose);
    if (!input)
        throw Failure(std::string("watch: cannot make the command's input: ") + std::strerror(errno));
    if (batch.logCutShort)
        std::fputs("*\n", input.get());
    for (const std::string &name : batch.names)
        std::fprintf(input.get(), "%s\n", name.c_str());
    if (std::fflush(input.get()) != 0 || std::fseek(input.get(), 0, SEEK_SET) != 0)
        throw Failure(std::string("watch: cannot write the command's input: ") + std::strerror(errno));
    std::fflush(stdout);
    pid_t child = fork();
    if (child < 0)
        throw Failure(std::string("watch: cannot start ") + command[0] + ": " + std::strerror(errno));
    if (child == 0) {
        std::vector<char *> argv;
        for (const std::string &word : command)
            argv.push_back(const_cast<char *>(word.c_str()));
        argv.push_back(nullptr);
        dup2(fileno(input.get()), STDIN_FILENO);
        execvp(argv[0], argv.data());
        print_line("kelbrinctl: watch: cannot run " + command[0] + ": " + std::strerror(errno));
        _exit(127);
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    print_line("kelbrinctl: watch: " + command[0] +
               (WIFEXITED(status) ? " exited with status " + std::to_string(WEXITSTATUS(status))
                                  : " was ended by signal " + std::to_string(WTERMSIG(status))));
    return false;
}

int watch(const Invocation &invocation) {
    std::size_t dashes = invocation.dashes.value_or(invocation.operands.size());
    if (dashes == invocation.operands.size())
        throw UsageError("watch: a command to run after --");
    std::vector<std::string> groups(invocation.operands.begin(), invocation.operands.begin() + dashes);
    std::vector<std::string> command(invocation.operands.begin() + dashes, invocation.operands.end());
    for (const std::string &group : groups)
        require_full_name("watch", group, Named::Group);
    std::optional<std::string> since = invocation.value("--since");
    std::string path = store_path_for(invocation.store);
    std::unique_ptr<kelbrin::Database> store = open_store_to_read(path);
    int64_t after = 0;
    if (since) {
        after = since_number("watch", *since);
    } else {
        store->begin_reading();
        after = last_change(*store);
        store->end_reading();
    }
    catch_interrupts();
    while (!interrupted()) {
        Batch batch;
        collect(*store, after, groups, batch);
        if (batch.empty()) {
            std::this_thread::sleep_for(pollInterval);
            continue;
        }
        for (int round = 0; round < settleRounds && !interrupted(); ++round) {
            std::size_t seen = batch.names.size();
            int64_t before = after;
            std::this_thread::sleep_for(settleInterval);
            collect(*store, after, groups, batch);
            if (after == before && batch.names.size() == seen)
                break;
        }
        bool succeeded = run_command(command, batch);
        if (invocation.has("--once"))
            return succeeded ? exitDone : exitFailed;
    }
    return exitDone;
}

constexpr Option options[] = {{"--since", "N"}, {"--once"}};

} // namespace

extern const Command watchCommand{
    .name = "watch",
    .options = options,
    .operands = "[GROUP...] -- COMMAND [ARG...]",
    .fewest = 1,
    .most = unlimited,
    .summary = "run COMMAND after changes, the changed names on its input",
    .run = watch,
};

} // namespace kelbrinctl
