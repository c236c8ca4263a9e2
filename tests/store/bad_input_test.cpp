#include <cstring>

#include "errors.h"
#include "store_fixture.h"

namespace {

TEST_F(StoreTest, NullPointersGiveInvalidArgument) {
    load_ok(deviceFile);
    int32_t err = 99;
    char buffer[4];
    auto expect_invalid = [&](const char *call) {
        EXPECT_EQ(err, kelbrin::INVALID_ARGUMENT) << call;
        err = 99;
    };
    cli_sync(nullptr, &err), expect_invalid("sync");
    cli_readGroupFile(nullptr, &options, &err), expect_invalid("readGroupFile");
    cli_setCustomParam(nullptr, "x", &options, &err), expect_invalid("set name");
    cli_setCustomParam("root.Network.HostName", nullptr, &options, &err), expect_invalid("set value");
    cli_setCustomParam("root.Network.HostName", "x", nullptr, &err), expect_invalid("set options");
    cli_deleteGroup(nullptr, &options, &err), expect_invalid("deleteGroup");
    EXPECT_EQ(cli_getCustomParam(nullptr, &options, &err), nullptr), expect_invalid("get");
    cli_getCustomParamToBuf("root.Network.HostName", &options, &err, nullptr, 4), expect_invalid("toBuf buffer");
    cli_getCustomParamToBuf("root.Network.HostName", &options, &err, buffer, -1), expect_invalid("toBuf size");
    EXPECT_EQ(cli_getParamOption("root.Network.HostName", nullptr, &options, &err), nullptr), expect_invalid("option");
    EXPECT_EQ(cli_getComplexParam(nullptr, &options, &err), nullptr), expect_invalid("getComplex");
    cli_setComplexParam("root.Image.Zones", nullptr, &options, &err), expect_invalid("setComplex");
    EXPECT_EQ(cli_getParamsInGroup(nullptr, &options, &err), nullptr), expect_invalid("params");
    EXPECT_EQ(cli_getChildGroupsInGroup(nullptr, &options, &err), nullptr), expect_invalid("groups");
    cli_getParamInGroup(nullptr, &options, &err), expect_invalid("next param");
    cli_getChildGroupInGroup(nullptr, &options, &err), expect_invalid("next group");
    EXPECT_EQ(cli_createDynamicGroup("root.Badge", nullptr, &options, &err), nullptr), expect_invalid("create");
    cli_cleanupGroupContext(nullptr);
    cli_resetOptions(nullptr);

    EXPECT_EQ(cli_setCustomParam("root.Network.HostName", "x", &options, nullptr), 0) << "the error word is optional";
    EXPECT_EQ(get("root.Network.HostName"), "x");
}

TEST_F(StoreTest, HugeValueIsRefusedAndTheOldOneKept) {
    load_ok(deviceFile);
    std::string megabyte(1 << 20, 'v');
    EXPECT_EQ(set("root.Network.HostName", megabyte.c_str()), kelbrin::VALUE_TOO_LONG);
    EXPECT_EQ(get("root.Network.HostName"), "cam");
    std::string large(200 * 1024, 'v');
    EXPECT_EQ(set("root.Network.HostName", large.c_str()), 0) << "values up to the limit are kept whole";
    EXPECT_EQ(get("root.Network.HostName"), large);
}

TEST_F(StoreTest, NamesWithOddBytesAreBadNames) {
    load_ok(deviceFile);
    std::string longName = "root." + std::string(300, 'a');
    for (const char *name : {"", "root.Network.Host Name", "root.Network.HostName;", "root..HostName",
                             "root.Network.HostName.", "root.Net\xc3\xa9work", "root.$(reboot)", "toor.Network",
                             longName.c_str()}) {
        EXPECT_EQ(set(name, "x"), kelbrin::BAD_NAME) << name;
        EXPECT_EQ(get(name), "<error " + std::to_string(kelbrin::BAD_NAME) + ">") << name;
    }
    EXPECT_EQ(get("root.Network.HostName"), "cam");
}

TEST_F(StoreTest, UnknownSyncModeIsRefused) {
    load_ok(deviceFile);
    options.syncMode = 3;
    EXPECT_EQ(set("root.Network.HostName", "x"), kelbrin::INVALID_ARGUMENT);
}

TEST_F(StoreTest, StoreThatCannotBeCreatedGivesAnErrorCode) {
    setenv("KELBRIN_STORE", (directory + "/no/such/dir/store.db").c_str(), 1);
    EXPECT_EQ(get("root.Network.HostName"), "<error " + std::to_string(kelbrin::STORE_UNAVAILABLE) + ">");
}

} // namespace
