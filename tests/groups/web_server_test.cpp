// The program as a CGI program under a real web server, against the
// embedded store, fetched with a real HTTP client.
#include <gtest/gtest.h>

#include "device_store.h"
#include "web_server.h"

namespace {

using groups_test::Page;
using groups_test::WebServer;

class UnderWebServer : public groups_test::DeviceStore {
  protected:
    void SetUp() override {
        DeviceStore::SetUp();
        server = std::make_unique<WebServer>(std::map<std::string, std::string>{
            {"KELBRINCLIENT", harness::programPath()}, {"KELBRIN_STORE", storePath()}});
        ASSERT_TRUE(server->started()) << server->startFailure();
    }

    std::string add_group_target(const std::string &number = "") const {
        return "/add_group.cgi?parent=" + std::string(groups_test::badgeParent) +
               "&template=" + groups_test::badgeTemplate + (number.empty() ? "" : "&number=" + number);
    }

    std::unique_ptr<WebServer> server;
};

TEST_F(UnderWebServer, AddgroupAnswersWithTheNewGroupsName) {
    Page chosen = server->fetch(add_group_target());
    EXPECT_EQ(chosen.status, 200);
    EXPECT_NE(chosen.headers.find("Content-Type: text/plain"), std::string::npos) << chosen.headers;
    EXPECT_EQ(chosen.body, groups_test::badgeGroup(0) + "\n");

    Page requested = server->fetch(add_group_target("4"));
    EXPECT_EQ(requested.body, groups_test::badgeGroup(4) + "\n");
    EXPECT_EQ(server->errorLog().find("Error"), std::string::npos) << server->errorLog();
}

TEST_F(UnderWebServer, TakenNumberLeavesThePageEmptyAndTellsTheErrorLog) {
    ASSERT_EQ(server->fetch(add_group_target("2")).body, groups_test::badgeGroup(2) + "\n");
    Page again = server->fetch(add_group_target("2"));
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(again.body, "");
    EXPECT_NE(server->errorLog().find("Group '" + std::string(groups_test::badgeParent) +
                                      "' already exists with number 2!\n"),
              std::string::npos)
        << server->errorLog();
}

TEST_F(UnderWebServer, TemplateAtItsMaximumSendsThe503PageToTheErrorLog) {
    for (int number = 0; number < groups_test::badgeMaximum; number++)
        ASSERT_EQ(server->fetch(add_group_target()).body, groups_test::badgeGroup(number) + "\n");
    Page refused = server->fetch(add_group_target());
    EXPECT_EQ(refused.status, 200);
    EXPECT_EQ(refused.body, "");
    std::string page =
        "HTTP/1.0 503 Service Unavailable\r\nContent-Type: text/html\r\n\r\n"
        "<HTML><HEAD><TITLE>503 Service Unavailable, The server is unable to handle the request "
        "due to temporary overload.</TITLE></HEAD>\n"
        "<BODY><H1>503 Service Unavailable</H1>\n"
        "The server is unable to handle the request due to temporary overload.\n"
        "</BODY></HTML>\n";
    EXPECT_NE(server->errorLog().find(page), std::string::npos) << server->errorLog();
}

TEST_F(UnderWebServer, GroupPageHoldsItsParametersAsHiddenFields) {
    ASSERT_EQ(server->fetch(add_group_target()).body, groups_test::badgeGroup(0) + "\n");
    ASSERT_EQ(run({"set", groups_test::badgeGroup(0) + ".Label", "Front door"}).status, 0);

    Page page = server->fetch("/group_page.cgi?group=" + groups_test::badgeGroup(0));
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.headers.find("Content-Type: text/html"), std::string::npos) << page.headers;
    int parsed = -1;
    std::string fields = harness::shell(
        "python3 '" + harness::sourceDir() + "/tests/groups/form_fields.py'", &parsed, page.body);
    EXPECT_EQ(parsed, 0);
    EXPECT_EQ(fields, "hidden|conf_Badge_B0_Label|Front door\n"
                      "hidden|conf_Badge_B0_CardNumber|0\n"
                      "hidden|conf_Badge_B0_Enabled|yes\n"
                      "hidden|conf_Badge_B0_PIN|0000\n")
        << page.body;
}

} // namespace
