// What the program tests of the read commands share: store scripts for the
// test double, and the check of the messages a run reports.
#pragma once

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>

#include <string>
#include <vector>

#include "harness.h"
#include "support/log_format.h"

namespace output_tests {

using nlohmann::json;

// The banner of NAMEVALUESECTIONS at the harness's fixed time, in UTC.
inline const std::string banner = "# Vardel Parameter list, Tue Nov 14 22:13:20 2023\n";

inline json plain(const std::string &name, const std::string &value) {
    return {{"name", name}, {"value", value}};
}

inline json complex(const std::string &name, const json &tree) {
    return {{"name", name}, {"tree", tree}};
}

// A store holding the parameters in listing order, and anything more.
inline std::string store(const std::vector<json> &params, json more = json::object()) {
    more["params"] = params;
    return more.dump();
}

inline harness::Result run_program(const std::string &script, std::vector<std::string> args,
                                   const std::string &cwd = "", const std::string &input = "") {
    harness::Run request;
    request.args = std::move(args);
    request.script = script;
    request.cwd = cwd;
    request.input = input;
    return harness::run(request);
}

struct Message {
    int priority;
    std::string text;
};

// Standard error and syslog hold exactly these messages, in this order
// (the syslog capture writes texts with C escapes).
inline void expect_messages(const harness::Result &result, const std::vector<Message> &messages) {
    std::string err;
    std::vector<std::string> logged;
    for (const Message &message : messages) {
        err += message.text + "\n";
        logged.push_back(std::to_string(message.priority) + " " + test_logs::c_escaped(message.text));
    }
    EXPECT_EQ(result.err, err);
    std::vector<std::string> syslog(result.syslog);
    if (!syslog.empty() && syslog.front().rfind("openlog ", 0) == 0)
        syslog.erase(syslog.begin());
    EXPECT_EQ(syslog, logged);
}

} // namespace output_tests
