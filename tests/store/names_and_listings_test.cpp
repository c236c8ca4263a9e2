#include <cstring>

#include "errors.h"
#include "store_fixture.h"

namespace {

using Names = std::vector<std::string>;

TEST_F(StoreTest, NamesMatchIgnoringCaseByDefault) {
    load_ok(deviceFile);
    EXPECT_EQ(get("ROOT.network.hostname"), "cam");
    EXPECT_EQ(set("root.NETWORK.HostName", "x"), 0);
    EXPECT_EQ(get("root.Network.HostName"), "x");
    EXPECT_EQ(parameters_in("root.network.eth0"), Names{"root.Network.Eth0.Address"}) << "listed in declared case";
}

TEST_F(StoreTest, CaseSensitiveMatchingNeedsTheDeclaredCase) {
    load_ok(deviceFile);
    options.caseSensitive = 1;
    EXPECT_EQ(get("root.network.HostName"), "<error -2>");
    EXPECT_EQ(set("root.Network.hostname", "x"), kelbrin::UNKNOWN_PARAMETER);
    EXPECT_EQ(parameters_in("root.network"), Names{"<error -3>"});
    EXPECT_EQ(get("root.Network.HostName"), "cam");
}

TEST_F(StoreTest, ParametersAreListedDepthFirstInDeclarationOrder) {
    load_ok(deviceFile);
    EXPECT_EQ(parameters_in("root.Network"), (Names{"root.Network.HostName", "root.Network.Eth0.Address",
                                                    "root.Network.Port", "root.Network.Name"}));
    Names all = parameters_in("root");
    EXPECT_EQ(all.front(), "root.Network.HostName");
    EXPECT_EQ(all.back(), "root.Badge.Model");
    EXPECT_EQ(parameters_in("root.Other"), Names{}) << "an empty group ends at once";
}

TEST_F(StoreTest, ChildGroupsAreDeclaredOnesThenDynamicOnesByNumber) {
    load_ok(deviceFile);
    options.groupNumber = 2;
    char *two = cli_createDynamicGroup("root.Badge", "badge", &options, nullptr);
    options.groupNumber = 0;
    char *zero = cli_createDynamicGroup("root.Badge", "badge", &options, nullptr);
    std::free(two);
    std::free(zero);
    load_ok(R"({ "groups": [ { "group": "root.Badge.Static" } ] })");

    EXPECT_EQ(child_groups_of("root.Badge"), (Names{"root.Badge.Static=Static", "root.Badge.B0=B0", "root.Badge.B2=B2"}));
    EXPECT_EQ(child_groups_of("root"),
              (Names{"root.Network=Network", "root.Image=Image", "root.Badge=Badge", "root.Other=Other"}));
}

TEST_F(StoreTest, ListedNamesAreTheCallersToChangeUntilTheNextAdvance) {
    load_ok(deviceFile);
    int32_t err = 99;
    GroupContext *context = cli_getParamsInGroup("root.Network", &options, &err);
    ASSERT_EQ(err, 0);
    cli_getParamInGroup(context, &options, &err);
    ASSERT_STREQ(context->paramName, "root.Network.HostName");
    std::memset(context->paramName, 'X', std::strlen(context->paramName));
    cli_getParamInGroup(context, &options, &err);
    EXPECT_STREQ(context->paramName, "root.Network.Eth0.Address");
    cli_cleanupGroupContext(context);

    EXPECT_EQ(get("root.Network.HostName"), "cam") << "the store is untouched";
}

TEST_F(StoreTest, ListingUnknownGroupOrParameterFails) {
    load_ok(deviceFile);
    EXPECT_EQ(parameters_in("root.Nothing"), Names{"<error -3>"});
    EXPECT_EQ(child_groups_of("root.Network.HostName"), Names{"<error -3>"});
}

} // namespace
