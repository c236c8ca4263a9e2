#include <regex>
#include <set>

#include "store_table.h"

namespace {

TEST(ErrorTable, IsExactlyTheDocumentedOne) {
    std::ifstream file(KELBRIN_SOURCE_DIR "/docs/store-errors.md");
    std::string document((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::set<std::pair<int32_t, std::string>> documented, table;
    std::regex row(R"(\n\| (-\d+) \| `([A-Z_]+)` \|)");
    for (std::sregex_iterator it(document.begin(), document.end(), row), end; it != end; ++it)
        documented.emplace(std::stoi((*it)[1]), (*it)[2]);
    for (const kelbrin::ErrorInfo &info : kelbrin::error_table())
        table.emplace(info.code, info.name);
    EXPECT_EQ(documented, table);
}

TEST_F(StoreTable, NullPointersAndBadTreesGiveErrorsNotCrashes) {
    fresh_store();
    int32_t err = 99, invalid = kelbrin::INVALID_ARGUMENT;
    const char *name = "root.Network.HostName";
    GroupContext *none = nullptr;
    DataNode *cyclic = drep_createData(), odd{.kind = 42, .libWord = 0, .u = {}};
    drep_addToList(cyclic, cyclic);
    EXPECT_EQ(cli_setComplexParam("root.Image.Zones", cyclic, &options, &err), kelbrin::BAD_TREE);
    EXPECT_EQ(cli_setComplexParam("root.Image.Zones", &odd, &options, &err), kelbrin::BAD_TREE);
    for (int32_t returned : {cli_sync(nullptr, &err), cli_readGroupFile(nullptr, &options, &err),
                             cli_deleteGroup(nullptr, &options, &err),
                             cli_setCustomParam(nullptr, "x", &options, &err),
                             cli_setCustomParam(name, nullptr, &options, &err),
                             cli_setCustomParam(name, "x", nullptr, &err),
                             cli_getCustomParamToBuf(name, &options, &err, nullptr, 4),
                             cli_setComplexParam(name, nullptr, &options, &err),
                             cli_getParamInGroup(none, &options, &err),
                             cli_getChildGroupInGroup(none, &options, &err)})
        EXPECT_EQ(returned, invalid);
    for (void *pointer : {(void *)cli_getCustomParam(nullptr, &options, &err),
                          (void *)cli_getParamOption(name, nullptr, &options, &err),
                          (void *)cli_getComplexParam(nullptr, &options, &err),
                          (void *)cli_getParamsInGroup(nullptr, &options, &err),
                          (void *)cli_getChildGroupsInGroup(nullptr, &options, &err),
                          (void *)cli_createDynamicGroup("root.Badge", nullptr, &options, &err)})
        EXPECT_EQ(pointer, nullptr);
    EXPECT_EQ(err, invalid);
    cli_cleanupGroupContext(nullptr);
    cli_resetOptions(nullptr);
    EXPECT_EQ(cli_setCustomParam(name, "x", &options, nullptr), 0) << "the error word is optional";
    EXPECT_EQ(run("get root.Network.HostName"), "x");
}

// A store named in KELBRIN_STORE is not given folders; the default one is.
TEST_F(StoreTable, OnlyTheDefaultStoreGetsItsFoldersMade) {
    setenv("KELBRIN_STORE", (directory + "/no/such/dir/store.db").c_str(), 1);
    EXPECT_EQ(run("get root.Network.HostName"), "UNKNOWN_PARAMETER");
    EXPECT_EQ(run("load tests/store/device.json"), "STORE_UNAVAILABLE");
    unsetenv("KELBRIN_STORE");
    setenv("XDG_DATA_HOME", (directory + "/data").c_str(), 1);
    EXPECT_EQ(run("load tests/store/device.json"), "OK");
    unsetenv("XDG_DATA_HOME");
    EXPECT_TRUE(std::filesystem::exists(directory + "/data/kelbrin/store.db"));
}

} // namespace
