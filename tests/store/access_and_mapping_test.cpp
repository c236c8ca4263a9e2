#include <cstring>

#include "errors.h"
#include "store_fixture.h"

namespace {

class AccessTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        load_ok(deviceFile);
    }

    // The option's text, "<none>" for a null text, or "<error N>".
    std::string option(const char *name, const char *which) {
        int32_t err = 99;
        char *text = cli_getParamOption(name, which, &options, &err);
        std::string result = err != 0 ? "<error " + std::to_string(err) + ">" : text ? std::string(text) : "<none>";
        std::free(text);
        return result;
    }
};

TEST_F(AccessTest, FullAccessIsTheDefault) {
    EXPECT_EQ(get("root.Image.Secret"), "s3");
    EXPECT_EQ(set("root.Image.Secret", "s4"), 0);
}

TEST_F(AccessTest, ReadBelowTheReadLevelIsRefused) {
    options.securityLevel = 49;
    EXPECT_EQ(get("root.Image.Secret"), "<error -7>");
    char buffer[8] = "unused";
    int32_t err = 99;
    cli_getCustomParamToBuf("root.Image.Secret", &options, &err, buffer, sizeof buffer);
    EXPECT_EQ(err, kelbrin::READ_REFUSED);
    EXPECT_STREQ(buffer, "unused");
    EXPECT_EQ(option("root.Image.Secret", "accessControl"), "<error -7>");
    options.securityLevel = 50;
    EXPECT_EQ(get("root.Image.Secret"), "s3");
}

TEST_F(AccessTest, WriteBelowTheWriteLevelIsRefusedAndChangesNothing) {
    options.securityLevel = 59;
    EXPECT_EQ(set("root.Image.Secret", "stolen"), kelbrin::WRITE_REFUSED);
    EXPECT_EQ(get("root.Image.Secret"), "s3");
}

TEST_F(AccessTest, ListingsSkipWhatTheCallerMayNotRead) {
    options.securityLevel = 10;
    EXPECT_EQ(parameters_in("root.Image"), std::vector<std::string>{"root.Image.Zones"});
}

TEST_F(AccessTest, OptionsGiveTheDeclaredAttributes) {
    EXPECT_EQ(option("root.Image.Secret", "accessControl"), "admin:rw");
    EXPECT_EQ(option("root.Network.HostName", "accessControl"), "<none>");
    EXPECT_EQ(option("root.Image.Secret", "writeLevel"), "60");
    EXPECT_EQ(option("root.Network.Port", "pattern"), "[0-9]{1,5}");
    EXPECT_EQ(option("root.Network.Name", "mapTo"), "root.Network.HostName");
    EXPECT_EQ(option("root.Network.Port", "colour"), "<error " + std::to_string(kelbrin::UNKNOWN_OPTION) + ">");
}

TEST_F(AccessTest, PatternRefusesValuesThatDoNotMatchWhole) {
    EXPECT_EQ(set("root.Network.Port", "8080"), 0);
    EXPECT_EQ(set("root.Network.Port", "80a"), kelbrin::VALUE_REJECTED);
    EXPECT_EQ(set("root.Network.Port", "123456"), kelbrin::VALUE_REJECTED);
    EXPECT_EQ(get("root.Network.Port"), "8080");
}

TEST_F(AccessTest, MappedNameReadsAndWritesItsTarget) {
    EXPECT_EQ(set("root.Network.Name", "lobby"), 0);
    EXPECT_EQ(get("root.Network.HostName"), "lobby");
    EXPECT_EQ(get("root.network.name"), "lobby");
}

TEST_F(AccessTest, WithNoMappedAMappedNameIsUnknown) {
    options.noMapped = 1;
    EXPECT_EQ(get("root.Network.Name"), "<error -2>");
    EXPECT_EQ(set("root.Network.Name", "x"), kelbrin::UNKNOWN_PARAMETER);
    EXPECT_EQ(get("root.Network.HostName"), "cam");
    EXPECT_EQ(parameters_in("root.Network").back(), "root.Network.Port");
}

TEST_F(AccessTest, MappingsInACircleAreReportedNotFollowedForever) {
    load_ok(R"({ "groups": [ { "group": "root.Loop", "items": [ { "parameter": "A", "value": "" },
                 { "parameter": "B", "mapTo": "root.Loop.A" } ] } ] })");
    load_ok(R"({ "groups": [ { "group": "root.Loop", "items": [ { "parameter": "A", "mapTo": "root.Loop.B" } ] } ] })");
    EXPECT_EQ(get("root.Loop.A"), "<error " + std::to_string(kelbrin::MAPPING_LOOP) + ">");
}

TEST_F(AccessTest, PlainAndComplexCallsDoNotMix) {
    EXPECT_EQ(get("root.Image.Zones"), "<error -5>");
    EXPECT_EQ(set("root.Image.Zones", "x"), kelbrin::NOT_A_PLAIN_PARAMETER);
    int32_t err = 99;
    EXPECT_EQ(cli_getComplexParam("root.Network.Port", &options, &err), nullptr);
    EXPECT_EQ(err, kelbrin::NOT_A_COMPLEX_PARAMETER);
    DataNode *tree = drep_createData();
    drep_initializeHash(tree);
    cli_setComplexParam("root.Network.Port", tree, &options, &err);
    EXPECT_EQ(err, kelbrin::NOT_A_COMPLEX_PARAMETER);
    std::free(tree);
    EXPECT_EQ(set("root.Network.Nothing", "x"), kelbrin::UNKNOWN_PARAMETER);
    EXPECT_EQ(set("root.Network", "x"), kelbrin::UNKNOWN_PARAMETER) << "a group is no parameter";
}

TEST_F(AccessTest, ToBufCopiesLikeStrncpy) {
    char buffer[6];
    std::memset(buffer, '#', sizeof buffer);
    int32_t err = 99;
    cli_getCustomParamToBuf("root.Network.HostName", &options, &err, buffer, 3);
    ASSERT_EQ(err, 0);
    EXPECT_EQ(std::string(buffer, 6), "cam###") << "three bytes, no terminator when the value fills them";
    cli_getCustomParamToBuf("root.Network.HostName", &options, &err, buffer, 6);
    EXPECT_EQ(std::string(buffer, 6), std::string("cam\0\0\0", 6)) << "padded with zeros when shorter";
}

} // namespace
