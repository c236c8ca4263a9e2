// One run of the program against the embedded store at the given path.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "harness.h"

inline harness::Result run_on(const std::string &store, std::vector<std::string> args) {
    harness::Run request;
    request.args = std::move(args);
    request.realStore = true;
    request.storePath = store;
    return harness::run(request);
}
