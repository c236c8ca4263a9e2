// What the program asked of the store when creating dynamic groups.
#pragma once

#include <string>
#include <vector>

#include "harness.h"

namespace groups_test {

// A store with room under root.Badge: "badge" has 1 and 2 taken, "full" is
// at its maximum of 2.
inline const char *const badgeStore = R"({
  "templates": [
    {"parent": "root.Badge", "name": "badge", "prefix": "B", "max": 20, "taken": [1, 2]},
    {"parent": "root.Badge", "name": "full", "prefix": "F", "max": 2, "taken": [1, 2]}
  ]
})";

// What a CGI run answers when the store allows no more groups.
inline const std::string unavailablePage =
    "HTTP/1.0 503 Service Unavailable\r\nContent-Type: text/html\r\n\r\n"
    "<HTML><HEAD><TITLE>503 Service Unavailable, The server is unable to handle the request due "
    "to temporary overload.</TITLE></HEAD>\n"
    "<BODY><H1>503 Service Unavailable</H1>\n"
    "The server is unable to handle the request due to temporary overload.\n"
    "</BODY></HTML>\n";

// Runs the program with the words against the scripted store.
inline harness::Result run_with_store(std::vector<std::string> args,
                                      const std::string &script = badgeStore) {
    harness::Run request;
    request.args = std::move(args);
    request.script = script;
    return harness::run(request);
}

// Each cli_createDynamicGroup call as `("parent", "template") #N`, N being
// the groupNumber the call saw.
inline std::vector<std::string> groupRequests(const harness::Result &result) {
    static const std::string call = "cli_createDynamicGroup(";
    static const std::string number = "groupNumber=";
    std::vector<std::string> requests;
    for (const std::string &line : result.callsWithOptions) {
        if (line.rfind(call, 0) != 0)
            continue;
        size_t options = line.rfind(" {");
        size_t argumentsEnd = line.rfind(')', options);
        size_t numberAt = line.find(number, options);
        size_t numberEnd = line.find_first_of(" }", numberAt);
        requests.push_back(
            line.substr(call.size() - 1, argumentsEnd - call.size() + 2) + " #" +
            line.substr(numberAt + number.size(), numberEnd - numberAt - number.size()));
    }
    return requests;
}

} // namespace groups_test
