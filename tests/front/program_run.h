// What the program tests of every area share: runs of the program against the
// recording double or the embedded store, and a run checked as a whole.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "harness.h"
#include "support/log_format.h"

namespace program_run {

using Lines = std::vector<std::string>;

// The first syslog line of a run under the usual argument zero.
inline const std::string openlogLine = "openlog \"kelbrinclient\" 1 8";

// The program with the words, against the double serving the script.
inline harness::Result run(Lines args, const std::string &script = "{}",
                           const std::string &input = "", const std::string &cwd = "") {
    harness::Run request;
    request.args = std::move(args);
    request.script = script;
    request.input = input;
    request.cwd = cwd;
    return harness::run(request);
}

// The program with the words, against the embedded store at the path.
inline harness::Result run_on(const std::string &store, Lines args, const std::string &input = "",
                              const std::string &cwd = "") {
    harness::Run request;
    request.args = std::move(args);
    request.realStore = true;
    request.storePath = store;
    request.input = input;
    request.cwd = cwd;
    return harness::run(request);
}

struct Message {
    int priority;
    std::string text;
};

// The syslog lines of a run that logged these messages.
inline Lines syslog_of(const std::vector<Message> &messages) {
    Lines lines = {openlogLine};
    for (const Message &message : messages)
        lines.push_back(std::to_string(message.priority) + " " +
                        test_logs::c_escaped(message.text));
    return lines;
}

// Standard error and syslog hold exactly these messages, in this order.
inline void expect_messages(const harness::Result &result, const std::vector<Message> &messages) {
    std::string err;
    for (const Message &message : messages)
        err += message.text + "\n";
    EXPECT_EQ(result.err, err);
    EXPECT_EQ(result.syslog, syslog_of(messages));
}

// A run against the double and all it must show: standard output and error
// and the status always, the store calls and syslog lines (after openlog)
// when given. check() returns the run for further checks.
struct Case {
    const char *behaviour;
    Lines args;
    std::string out;
    std::string err;
    int status;
    std::optional<Lines> calls = std::nullopt;
    std::optional<Lines> syslog = std::nullopt;
    std::string script = "{}";
    std::map<std::string, std::string> env = {};
};

inline harness::Result check(const Case &c) {
    SCOPED_TRACE(c.behaviour);
    harness::Run request;
    request.args = c.args;
    request.script = c.script;
    request.env = c.env;
    harness::Result result = harness::run(request);
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.status, c.status);
    if (c.calls) {
        EXPECT_EQ(harness::storeCalls(result), *c.calls);
    }
    if (c.syslog) {
        Lines expected = {openlogLine};
        expected.insert(expected.end(), c.syslog->begin(), c.syslog->end());
        EXPECT_EQ(result.syslog, expected);
    }
    return result;
}

// A fresh embedded store loaded with the example device.
class DeviceStore : public testing::Test {
  protected:
    void SetUp() override {
        harness::Result loaded = run({"readgroupfile", device});
        ASSERT_EQ(loaded.status, 0) << loaded.err;
    }

    harness::Result run(Lines args, const std::string &input = "", const std::string &cwd = "") {
        return run_on(storePath(), std::move(args), input, cwd);
    }

    // The parameter's value as RAW output writes it.
    std::string value(const std::string &name) {
        harness::Result read = run({"get", name, "-", "RAW"});
        EXPECT_EQ(read.status, 0) << read.err;
        return read.out;
    }

    std::string storePath() const { return directory.file("store.db"); }

    harness::TempDir directory;
    const std::string device = harness::sourceDir() + "/examples/device.json";
};

} // namespace program_run
