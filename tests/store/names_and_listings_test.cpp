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

// What a read of a name gives: its value, its tree in the store's text, or its error.
std::string read_back(const char *name, ClientOptions *options) {
    int32_t err = 99;
    char *value = cli_getCustomParam(name, options, &err);
    std::string result = err == 0 ? std::string("value ") + value : "error " + std::to_string(err);
    std::free(value);
    DataNode *tree = cli_getComplexParam(name, options, &err);
    result += err == 0 ? " tree of kind " + std::to_string(tree->kind) : " error " + std::to_string(err);
    std::free(tree);
    return result;
}

// Reads of the name a listing has just handed out are answered from the
// listing; they must give exactly what a read on its own gives.
TEST_F(StoreTest, ReadsDuringAWalkGiveWhatReadsOnTheirOwnGive) {
    load_ok(deviceFile);
    options.securityLevel = 55; // Secret readable, not writable
    Names names = parameters_in("root");
    std::vector<std::string> alone;
    for (const std::string &name : names)
        alone.push_back(read_back(name.c_str(), &options));

    int32_t err = 99;
    GroupContext *context = cli_getParamsInGroup("root", &options, &err);
    ASSERT_EQ(err, 0);
    std::vector<std::string> walked;
    for (cli_getParamInGroup(context, &options, &err); !context->end; cli_getParamInGroup(context, &options, &err))
        walked.push_back(read_back(context->paramName, &options));
    cli_cleanupGroupContext(context);
    EXPECT_EQ(walked, alone);
}

TEST_F(StoreTest, LongValuesComeBackWholeDuringAWalk) {
    load_ok(deviceFile);
    std::string longest(256 * 1024, 'v'); // larger than a block of the listing
    std::string longer(300, 'm');
    ASSERT_EQ(set("root.Network.HostName", longest.c_str()), 0);
    ASSERT_EQ(set("root.Network.Eth0.Address", longer.c_str()), 0);
    int32_t err = 99;
    GroupContext *context = cli_getParamsInGroup("root.Network", &options, &err);
    std::vector<std::string> values;
    for (cli_getParamInGroup(context, &options, &err); !context->end; cli_getParamInGroup(context, &options, &err))
        values.push_back(get(context->paramName));
    cli_cleanupGroupContext(context);
    EXPECT_EQ(values, (Names{longest, longer, "80", longest}));
}

TEST_F(StoreTest, ReadDuringAWalkSeesTheWalkersOwnChangeAndOtherSettings) {
    load_ok(deviceFile);
    int32_t err = 99;
    GroupContext *context = cli_getParamsInGroup("root.Network", &options, &err);
    cli_getParamInGroup(context, &options, &err);
    ASSERT_STREQ(context->paramName, "root.Network.HostName");
    ASSERT_EQ(set("root.Network.HostName", "changed"), 0);
    EXPECT_EQ(get(context->paramName), "changed");

    ClientOptions lower = options;
    lower.securityLevel = -1;
    err = 99;
    char *refused = cli_getCustomParam(context->paramName, &lower, &err);
    EXPECT_EQ(err, kelbrin::READ_REFUSED) << "the listing's caller could read it; this one cannot";
    EXPECT_EQ(refused, nullptr);

    std::memcpy(context->paramName, "root.Network.HostNamx", 21);
    EXPECT_EQ(get(context->paramName), "<error -2>") << "the name as changed, not as listed";
    cli_cleanupGroupContext(context);
}

TEST_F(StoreTest, ListingUnknownGroupOrParameterFails) {
    load_ok(deviceFile);
    EXPECT_EQ(parameters_in("root.Nothing"), Names{"<error -3>"});
    EXPECT_EQ(child_groups_of("root.Network.HostName"), Names{"<error -3>"});
}

} // namespace
