// A fresh store per test: its own KELBRIN_STORE under a temporary directory,
// options as cli_resetOptions gives them, and small helpers over the C calls.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <kelbrin.h>

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelbrin-store-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        storePath = directory + "/store.db";
        setenv("KELBRIN_STORE", storePath.c_str(), 1);
        cli_resetOptions(&options);
    }

    void TearDown() override { std::filesystem::remove_all(directory); }

    std::string write_file(const std::string &name, const std::string &text) {
        std::string path = directory + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Loads a group file given as text; returns the error word.
    int32_t load(const std::string &text) {
        std::string path = write_file("groups.json", text);
        int32_t err = 99;
        cli_readGroupFile(path.c_str(), &options, &err);
        return err;
    }

    void load_ok(const std::string &text) { ASSERT_EQ(load(text), 0); }

    // The value, or "<error N>".
    std::string get(const char *name) {
        int32_t err = 99;
        char *value = cli_getCustomParam(name, &options, &err);
        std::string result = err == 0 && value ? std::string(value) : "<error " + std::to_string(err) + ">";
        std::free(value);
        return result;
    }

    int32_t set(const char *name, const char *value) {
        int32_t err = 99;
        cli_setCustomParam(name, value, &options, &err);
        return err;
    }

    // The new dynamic group's name, or "<error N>".
    std::string create_group(const char *parent, const char *from, int32_t number) {
        options.groupNumber = number;
        int32_t err = 99;
        char *name = cli_createDynamicGroup(parent, from, &options, &err);
        std::string result =
            err == 0 && name ? std::string(name) : "<error " + std::to_string(err) + ">";
        std::free(name);
        return result;
    }
    // Every name a listing hands out, in order; "<error N>" when it fails.
    std::vector<std::string> parameters_in(const char *group) { return walk(group, false); }
    std::vector<std::string> child_groups_of(const char *group) { return walk(group, true); }

    ClientOptions options{};
    std::string directory;
    std::string storePath;

  private:
    std::vector<std::string> walk(const char *group, bool groups) {
        int32_t err = 99;
        GroupContext *context = groups ? cli_getChildGroupsInGroup(group, &options, &err)
                                       : cli_getParamsInGroup(group, &options, &err);
        if (err != 0 || !context)
            return {"<error " + std::to_string(err) + ">"};
        std::vector<std::string> names;
        for (;;) {
            groups ? cli_getChildGroupInGroup(context, &options, &err) : cli_getParamInGroup(context, &options, &err);
            if (err != 0 || context->end)
                break;
            names.push_back(groups ? std::string(context->groupName) + "=" + context->groupValue
                                   : std::string(context->paramName));
        }
        cli_cleanupGroupContext(context);
        return names;
    }
};

// Releases a tree built with drep_* calls through the calls themselves, so
// that a leak checker sees whether they release what they unlink. Not for
// trees from cli_getComplexParam, whose nodes live in one block.
inline void release_tree(DataNode *node) {
    if (!node)
        return;
    if (node->kind == DATA_HASH) {
        while (HashEntry *entry = node->u.hash.firstEntry) {
            DataNode *value = entry->value;
            drep_deleteHashValue(node, entry->key);
            release_tree(value);
        }
    } else if (node->kind == DATA_LIST) {
        while (ListCell *cell = node->u.list.firstCell) {
            DataNode *value = cell->value;
            drep_deleteListItem(node, cell);
            release_tree(value);
        }
    }
    drep_initializeList(node); // drops a scalar's texts
    std::free(node);
}

// A small device used by several test files.
inline const char *deviceFile = R"({
  // comments are allowed
  "groups": [
    { "group": "root.Network", "items": [
        { "parameter": "HostName", "value": "cam" },
        { "group": "Eth0", "items": [ { "parameter": "Address", "value": "10.0.0.2" } ] },
        { "parameter": "Port", "value": "80", "pattern": "[0-9]{1,5}" },
        { "parameter": "Name", "mapTo": "root.Network.HostName" }
    ] },
    { "group": "root.Image", "items": [
        { "parameter": "Zones", "tree": { "mode": "auto", "ports": ["80", "443"], "count": 3 } },
        { "parameter": "Secret", "value": "s3", "readLevel": 50, "writeLevel": 60, "accessControl": "admin:rw" }
    ] },
    { "group": "root.Badge", "items": [ { "parameter": "Model", "value": "BR" } ] },
    { "group": "root.Other" }
  ],
  "templates": [
    { "template": "badge", "parent": "root.Badge", "prefix": "B", "max": 3,
      "items": [ { "parameter": "Label", "value": "none" }, { "parameter": "Tags", "tree": [] } ] }
  ]
})";
