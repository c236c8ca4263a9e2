// What the tests of dynamic groups share: a scripted store with templates,
// the example device's badge groups, and what the program asked of the store.
#pragma once

#include "front/program_run.h"

namespace groups_test {

using program_run::Lines;

// A store with room under root.Badge: "badge" has 1 and 2 taken, "full" is
// at its maximum of 2.
inline const char *const badgeStore = R"({
  "templates": [
    {"parent": "root.Badge", "name": "badge", "prefix": "B", "max": 20, "taken": [1, 2]},
    {"parent": "root.Badge", "name": "full", "prefix": "F", "max": 2, "taken": [1, 2]}
  ]
})";

// The example device's badge groups: root.Badge.B<n>, at most 8.
inline constexpr int badgeMaximum = 8;
inline std::string badgeGroup(int number) { return "root.Badge.B" + std::to_string(number); }

inline const std::string marker = "#DO NOT REMOVE THIS LINE: ";

// What a CGI run answers when the store allows no more groups.
inline const std::string unavailablePage =
    "HTTP/1.0 503 Service Unavailable\r\nContent-Type: text/html\r\n\r\n"
    "<HTML><HEAD><TITLE>503 Service Unavailable, The server is unable to handle the request due "
    "to temporary overload.</TITLE></HEAD>\n"
    "<BODY><H1>503 Service Unavailable</H1>\n"
    "The server is unable to handle the request due to temporary overload.\n"
    "</BODY></HTML>\n";

// A request to create a group as the tests write it: ("parent", "template") #N.
inline std::string request(const std::string &parent, const std::string &from, int number) {
    return "(\"" + parent + "\", \"" + from + "\") #" + std::to_string(number);
}

// Each cli_createDynamicGroup call as a request, N being the groupNumber
// the call saw.
inline Lines groupRequests(const harness::Result &result) {
    static const std::string call = "cli_createDynamicGroup(";
    static const std::string number = "groupNumber=";
    Lines requests;
    for (const std::string &line : result.callsWithOptions) {
        if (!line.starts_with(call))
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

// A run against the scripted store and the groups it asked for.
struct Case {
    program_run::Case run;
    Lines requests;
};

inline void check(const Case &c) {
    EXPECT_EQ(groupRequests(program_run::check(c.run)), c.requests) << c.run.behaviour;
}

} // namespace groups_test
