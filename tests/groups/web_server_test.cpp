// The program as a CGI program under a real web server, against the
// embedded store, fetched with a real HTTP client.
#include <gtest/gtest.h>

#include "dynamic_group_requests.h"
#include "web_server.h"

namespace {

using groups_test::Page;
using groups_test::WebServer;

class UnderWebServer : public program_run::DeviceStore {
  protected:
    void SetUp() override {
        DeviceStore::SetUp();
        server = std::make_unique<WebServer>(std::map<std::string, std::string>{
            {"KELBRINCLIENT", harness::programPath()}, {"KELBRIN_STORE", storePath()}});
        ASSERT_TRUE(server->started()) << server->startFailure();
    }

    std::string add_group_target(const std::string &number = "") const {
        return "/add_group.cgi?parent=root.Badge&template=badge" +
               (number.empty() ? "" : "&number=" + number);
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

TEST_F(UnderWebServer, TemplateAtItsMaximumSendsThe503PageToTheErrorLog) {
    for (int number = 0; number < groups_test::badgeMaximum; number++)
        ASSERT_EQ(server->fetch(add_group_target()).body, groups_test::badgeGroup(number) + "\n");
    Page refused = server->fetch(add_group_target());
    EXPECT_EQ(refused.status, 200);
    EXPECT_EQ(refused.body, "");
    EXPECT_NE(server->errorLog().find(groups_test::unavailablePage), std::string::npos)
        << server->errorLog();
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
