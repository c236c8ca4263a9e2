// What the program tests of the read commands share: store scripts for the
// test double and the banner of sectioned listings.
#pragma once

#include <nlohmann/json.hpp>

#include <algorithm>

#include "front/program_run.h"

namespace output_tests {

using nlohmann::json;
using program_run::expect_messages;
using program_run::Lines;
using program_run::Message;
using program_run::run;

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

} // namespace output_tests
