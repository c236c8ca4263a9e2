// addgroup: creating one dynamic group, with or without a requested number.
#include "dynamic_group_requests.h"

namespace {

using namespace groups_test;

const std::string badgeRequest = request("root.Badge", "badge", -1);
const std::string limited = "Error creating group under 'root.Badge'! (limited number allowed)";
const std::string takenScript = R"({
  "templates": [{"parent": "root.Badge", "name": "badge", "prefix": "B", "max": 9, "taken": [2]}],
  "fail": [{"call": "cli_createDynamicGroup", "nth": 1, "error": -4}]})";

TEST(Addgroup, RequestsTheNumberAndPrintsTheFullNameOrReportsWhyNot) {
    const Case cases[] = {
        {{"no number lets the store choose", {"addgroup", "root.Badge", "badge"},
          "root.Badge.B3\n", "", 0, std::nullopt, Lines{}, badgeStore},
         {badgeRequest}},
        {{"--number", {"addgroup", "root.Badge", "--number", "5", "badge"}, "root.Badge.B5\n", "",
          0, std::nullopt, Lines{}, badgeStore},
         {request("root.Badge", "badge", 5)}},
        {{"-number", {"addgroup", "root.Badge", "-number", "5", "badge"}, "root.Badge.B5\n", "", 0,
          std::nullopt, Lines{}, badgeStore},
         {request("root.Badge", "badge", 5)}},
        {{"a number without digits is 0", {"addgroup", "root.Badge", "--number", "x", "badge"},
          "root.Badge.B0\n", "", 0, std::nullopt, Lines{}, badgeStore},
         {request("root.Badge", "badge", 0)}},
        {{"a number after the template is the next command",
          {"addgroup", "root.Badge", "badge", "--number", "5"}, "root.Badge.B3\n",
          "Invalid command '--number'!\n", 1, std::nullopt, Lines{"4 Invalid command '--number'!"},
          badgeStore},
         {badgeRequest}},
        {{"the number form without a template ends the run",
          {"addgroup", "root.Badge", "badge", "addgroup", "root.Badge", "--number", "5"},
          "root.Badge.B3\n", "Group number and template expected!\n", 1, std::nullopt,
          Lines{"4 Group number and template expected!"}, badgeStore},
         {badgeRequest}},
        {{"a taken number reports the requested number and the run goes on",
          {"--nolog", "addgroup", "root.Badge", "badge", "addgroup", "root.Badge", "--number", "2",
           "badge", "addgroup", "root.Badge", "--number", "7", "badge"},
          "root.Badge.B7\n",
          "Group 'root.Badge' already exists with number -1!\n"
          "Group 'root.Badge' already exists with number 2!\n",
          2, std::nullopt, Lines{}, takenScript},
         {badgeRequest, request("root.Badge", "badge", 2), request("root.Badge", "badge", 7)}},
        {{"another store error names the parent", {"addgroup", "root.Nowhere", "badge"}, "",
          "Error creating group under 'root.Nowhere'!\n", 2, std::nullopt,
          Lines{"3 Error creating group under 'root.Nowhere'!"}, badgeStore},
         {request("root.Nowhere", "badge", -1)}},
        {{"the template's limit is reported and the run goes on",
          {"addgroup", "root.Badge", "full", "addgroup", "root.Badge", "badge"}, "root.Badge.B3\n",
          limited + "\n", 2, std::nullopt, Lines{"3 " + limited}, badgeStore},
         {request("root.Badge", "full", -1), badgeRequest}},
        // A CGI run answers with the 503 page alone.
        {{"the limit in CGI mode", {"addgroup", "root.Badge", "full"}, "\r\n", unavailablePage, 2,
          std::nullopt, Lines{"3 " + limited}, badgeStore, {{"REQUEST_METHOD", "POST"}}},
         {request("root.Badge", "full", -1)}},
        {{"the limit in CGI mode, not logged", {"--nolog", "addgroup", "root.Badge", "full"},
          "\r\n", unavailablePage, 2, std::nullopt, Lines{}, badgeStore,
          {{"REQUEST_METHOD", "POST"}}},
         {request("root.Badge", "full", -1)}},
    };
    for (const Case &c : cases)
        check(c);
}

} // namespace
