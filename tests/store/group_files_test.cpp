#include <cctype>
#include <string>

#include "errors.h"
#include "store_fixture.h"

namespace {

struct BrokenFile {
    const char *why;
    std::string text;
    int32_t code;
};

class BrokenGroupFile : public StoreTest, public ::testing::WithParamInterface<BrokenFile> {};

// Each broken file also declares a new parameter and group before its fault,
// so a partial load would show.
// A fault among the groups goes in groupFault, one beside them in topFault.
std::string with_new_declarations(const std::string &groupFault, const std::string &topFault = "") {
    return R"({ "groups": [ { "group": "root.Network", "items": [ { "parameter": "HostName", "value": "changed" },
               { "parameter": "Fresh", "value": "new" } ] }, { "group": "root.Fresh" } )" +
           groupFault + " ] " + topFault + " }";
}

TEST_P(BrokenGroupFile, IsRefusedWithItsCodeAndChangesNothing) {
    load_ok(deviceFile);
    ASSERT_EQ(set("root.Network.HostName", "kept"), 0);
    std::vector<std::string> before = parameters_in("root");

    EXPECT_EQ(load(GetParam().text), GetParam().code) << GetParam().why;

    EXPECT_EQ(parameters_in("root"), before);
    EXPECT_EQ(get("root.Network.HostName"), "kept");
    EXPECT_EQ(child_groups_of("root.Fresh"), std::vector<std::string>{"<error -3>"});
}

INSTANTIATE_TEST_SUITE_P(
    GroupFiles, BrokenGroupFile,
    ::testing::Values(
        BrokenFile{"not JSON", with_new_declarations("]"), kelbrin::FILE_SYNTAX},
        BrokenFile{"unknown key", with_new_declarations("", R"(, "grops": [])"), kelbrin::FILE_INVALID},
        BrokenFile{"bad parameter name",
                   with_new_declarations(R"(, { "group": "root.X", "items": [ { "parameter": "a;rm -rf" } ] })"),
                   kelbrin::FILE_INVALID},
        BrokenFile{"group not under root", with_new_declarations(R"(, { "group": "top.X" })"), kelbrin::FILE_INVALID},
        BrokenFile{"same parameter twice",
                   with_new_declarations(R"(, { "group": "root.X", "items": [ { "parameter": "A", "value": "1" },
                                           { "parameter": "a", "value": "2" } ] })"),
                   kelbrin::FILE_INVALID},
        BrokenFile{"default outside its pattern",
                   with_new_declarations(
                       R"(, { "group": "root.X", "items": [ { "parameter": "A", "value": "x", "pattern": "[0-9]+" } ] })"),
                   kelbrin::FILE_INVALID},
        BrokenFile{"pattern that does not compile",
                   with_new_declarations(
                       R"(, { "group": "root.X", "items": [ { "parameter": "A", "value": "1", "pattern": "(" } ] })"),
                   kelbrin::FILE_INVALID},
        BrokenFile{"mapping to nothing",
                   with_new_declarations(
                       R"(, { "group": "root.X", "items": [ { "parameter": "A", "mapTo": "root.Nowhere" } ] })"),
                   kelbrin::FILE_INVALID},
        BrokenFile{"plain parameter declared again as complex",
                   with_new_declarations(
                       R"(, { "group": "root.Network", "items": [ { "parameter": "Port", "tree": {} } ] })"),
                   kelbrin::FILE_INVALID},
        BrokenFile{"parameter where a group is",
                   with_new_declarations(R"(, { "group": "root", "items": [ { "parameter": "Network", "value": "" } ] })"),
                   kelbrin::FILE_INVALID},
        BrokenFile{"template for a missing parent",
                   R"({ "groups": [ { "group": "root.Fresh" } ], "templates": [ { "template": "t", "parent": "root.Nope" } ] })",
                   kelbrin::FILE_INVALID},
        BrokenFile{"template with a zero maximum",
                   R"({ "groups": [ { "group": "root.Fresh" } ], "templates": [ { "template": "t", "parent": "root.Fresh", "max": 0 } ] })",
                   kelbrin::FILE_INVALID},
        BrokenFile{"boolean value", with_new_declarations(R"(, { "group": "root.X", "items": [ { "parameter": "A", "value": true } ] })"),
                   kelbrin::FILE_INVALID},
        BrokenFile{"nested 100,000 deep", std::string(100000, '[') + std::string(100000, ']'), kelbrin::FILE_TOO_DEEP},
        BrokenFile{"tree nested deeper than a stored tree may be",
                   with_new_declarations(R"(, { "group": "root.X", "items": [ { "parameter": "T", "tree": )" +
                                         std::string(80, '[') + std::string(80, ']') + " } ] }"),
                   kelbrin::FILE_TOO_DEEP}),
    [](const auto &info) {
        std::string name;
        for (const char *c = info.param.why; *c; ++c)
            if (std::isalnum(static_cast<unsigned char>(*c)))
                name += *c;
        return name;
    });

TEST_F(StoreTest, MissingGroupFileIsUnreadable) {
    int32_t err = 99;
    cli_readGroupFile((directory + "/absent.json").c_str(), &options, &err);
    EXPECT_EQ(err, kelbrin::FILE_UNREADABLE);
}

TEST_F(StoreTest, LoadingAgainKeepsValuesAndAddsWhatIsNew) {
    load_ok(deviceFile);
    ASSERT_EQ(set("root.Network.HostName", "renamed"), 0);
    load_ok(R"({ "groups": [ { "group": "root.Network", "items": [
                 { "parameter": "HostName", "value": "default", "writeLevel": 5 },
                 { "parameter": "Gateway", "value": "10.0.0.1" } ] } ] })");

    EXPECT_EQ(get("root.Network.HostName"), "renamed");
    EXPECT_EQ(get("root.Network.Gateway"), "10.0.0.1");
    options.securityLevel = 4;
    EXPECT_EQ(set("root.Network.HostName", "x"), kelbrin::WRITE_REFUSED) << "the new attributes apply";
}

TEST_F(StoreTest, GroupFileDeclaresDefaultsOfEveryKind) {
    load_ok(deviceFile);
    EXPECT_EQ(get("root.Network.Eth0.Address"), "10.0.0.2");
    EXPECT_EQ(get("root.Network.Name"), "cam") << "a mapping reads its target";
    int32_t err = 99;
    DataNode *tree = cli_getComplexParam("root.Image.Zones", &options, &err);
    ASSERT_EQ(err, 0);
    ASSERT_EQ(tree->kind, DATA_HASH);
    DataNode *count = drep_getHashValue(tree, "count");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->u.scalar.subtype, SCALAR_INTEGER);
    EXPECT_EQ(count->u.scalar.value.integer, 3);
    std::free(tree);
}

TEST_F(StoreTest, ShippedExampleLoadsAndHasTheDemoParameter) {
    int32_t err = 99;
    cli_readGroupFile(KELBRIN_SOURCE_DIR "/examples/device.json", &options, &err);
    ASSERT_EQ(err, 0);
    EXPECT_NE(get("root.Network.HostName").rfind("<error", 0), 0u);
    EXPECT_GE(parameters_in("root").size(), 50u);
}

} // namespace
