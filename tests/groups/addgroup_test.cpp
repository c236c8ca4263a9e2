// addgroup: creating one dynamic group, with or without a requested number.
#include <gtest/gtest.h>

#include "dynamic_group_requests.h"

using groups_test::badgeStore;
using groups_test::groupRequests;
using groups_test::run_with_store;

namespace {

struct NumberCase {
    const char *title;
    std::vector<std::string> args;
    std::string request;
    std::string out;
};

class AddgroupNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(AddgroupNumber, RequestsTheNumberAndPrintsTheFullName) {
    const NumberCase &c = GetParam();
    harness::Result result = run_with_store(c.args);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, c.out);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(groupRequests(result), std::vector<std::string>{c.request});
}

INSTANTIATE_TEST_SUITE_P(
    Forms, AddgroupNumber,
    testing::Values(NumberCase{"NoNumberLetsTheStoreChoose",
                               {"addgroup", "root.Badge", "badge"},
                               R"(("root.Badge", "badge") #-1)",
                               "root.Badge.B3\n"},
                    NumberCase{"DoubleDashNumber",
                               {"addgroup", "root.Badge", "--number", "5", "badge"},
                               R"(("root.Badge", "badge") #5)",
                               "root.Badge.B5\n"},
                    NumberCase{"SingleDashNumber",
                               {"addgroup", "root.Badge", "-number", "5", "badge"},
                               R"(("root.Badge", "badge") #5)",
                               "root.Badge.B5\n"},
                    NumberCase{"NumberWithoutDigitsIsZero",
                               {"addgroup", "root.Badge", "--number", "x", "badge"},
                               R"(("root.Badge", "badge") #0)",
                               "root.Badge.B0\n"}),
    [](const testing::TestParamInfo<NumberCase> &info) { return info.param.title; });

TEST(Addgroup, NumberAfterTheTemplateIsTheNextCommand) {
    harness::Result result = run_with_store({"addgroup", "root.Badge", "badge", "--number", "5"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "root.Badge.B3\n");
    EXPECT_EQ(result.err, "Invalid command '--number'!\n");
    EXPECT_EQ(groupRequests(result), std::vector<std::string>{R"(("root.Badge", "badge") #-1)"});
}

TEST(Addgroup, NumberFormWithoutTemplateEndsTheRun) {
    harness::Result result = run_with_store(
        {"addgroup", "root.Badge", "badge", "addgroup", "root.Badge", "--number", "5"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "root.Badge.B3\n");
    EXPECT_EQ(result.err, "Group number and template expected!\n");
    ASSERT_FALSE(result.syslog.empty());
    EXPECT_EQ(result.syslog.back(), "4 Group number and template expected!");
    EXPECT_EQ(groupRequests(result).size(), 1u);
}

TEST(Addgroup, TakenNumberReportsTheRequestedNumberAndGoesOn) {
    std::string script = R"({
      "templates": [{"parent": "root.Badge", "name": "badge", "prefix": "B", "max": 9, "taken": [2]}],
      "fail": [{"call": "cli_createDynamicGroup", "nth": 1, "error": -4}]
    })";
    harness::Result result =
        run_with_store({"addgroup", "root.Badge", "badge", "addgroup", "root.Badge", "--number",
                        "2", "badge", "addgroup", "root.Badge", "--number", "7", "badge"},
                       script);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "Group 'root.Badge' already exists with number -1!\n"
                          "Group 'root.Badge' already exists with number 2!\n");
    EXPECT_EQ(result.out, "root.Badge.B7\n");
}

TEST(Addgroup, OtherStoreErrorNamesTheParent) {
    harness::Result result = run_with_store({"addgroup", "root.Nowhere", "badge"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "Error creating group under 'root.Nowhere'!\n");
    ASSERT_FALSE(result.syslog.empty());
    EXPECT_EQ(result.syslog.back(), "3 Error creating group under 'root.Nowhere'!");
}

TEST(AddgroupLimit, ReportsOnStandardErrorAndSyslogAndGoesOn) {
    harness::Result result =
        run_with_store({"addgroup", "root.Badge", "full", "addgroup", "root.Badge", "badge"});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "root.Badge.B3\n");
    EXPECT_EQ(result.err, "Error creating group under 'root.Badge'! (limited number allowed)\n");
    EXPECT_EQ(result.syslog.size(), 2u);
    EXPECT_EQ(result.syslog.back(),
              "3 Error creating group under 'root.Badge'! (limited number allowed)");
}

TEST(AddgroupLimit, CgiRunAnswersWithThe503PageAlone) {
    for (bool noLog : {false, true}) {
        harness::Run request;
        request.script = badgeStore;
        request.env["REQUEST_METHOD"] = "POST";
        if (noLog)
            request.args.push_back("--nolog");
        for (const char *word : {"addgroup", "root.Badge", "full"})
            request.args.push_back(word);
        harness::Result result = harness::run(request);
        SCOPED_TRACE(noLog ? "--nolog" : "logging");
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.out, "\r\n");
        EXPECT_EQ(result.err, groups_test::unavailablePage);
        EXPECT_EQ(result.err.size(), 314u);
        // Only the openlog line when logging is off.
        EXPECT_EQ(result.syslog.size(), noLog ? 1u : 2u);
    }
}

} // namespace
