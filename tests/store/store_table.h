// The store's tables (the .txt files here, and the units' beside them): rows
// of a "# behaviour" line and its calls, a blank line between rows, each row
// on a fresh store loaded from device.json. A call is "call arguments => result" ("=> OK" may be
// left out); results are whole: a value, a walk, a tree as JSON, or the
// error's name. "<N*text>" stands for text N times, each "#" in it the count
// from 0.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/errors.h"
#include "tree_json.h"

inline std::string expand(std::string text) {
    for (std::size_t at; (at = text.find('<')) != std::string::npos;) {
        std::size_t star = text.find('*', at), end = text.find('>', star);
        std::string repeated;
        for (long i = 0, n = std::stol(text.substr(at + 1, star - at - 1)); i < n; ++i)
            for (char c : text.substr(star + 1, end - star - 1))
                repeated += c == '#' ? std::to_string(i) : std::string(1, c);
        text.replace(at, end - at + 1, repeated);
    }
    return text;
}

inline std::string error_name(int32_t code) {
    for (const kelbrin::ErrorInfo &info : kelbrin::error_table())
        if (info.code == code)
            return info.name;
    return code ? std::to_string(code) : "OK";
}

class StoreTable : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelbrin-store-XXXXXX";
        directory = mkdtemp(pattern);
        cli_resetOptions(&options);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    // Every table of tests/FOLDER (its .txt files but CMakeLists.txt), in
    // name order, so that a new table is played without being listed.
    void play_tables(const std::string &folder) {
        std::vector<std::string> tables;
        for (const auto &entry : std::filesystem::directory_iterator(KELBRIN_SOURCE_DIR "/tests/" + folder))
            if (entry.path().extension() == ".txt" && entry.path().filename() != "CMakeLists.txt")
                tables.push_back(folder + "/" + entry.path().filename().string());
        std::sort(tables.begin(), tables.end());
        ASSERT_FALSE(tables.empty()) << "no tables in tests/" << folder;
        for (const std::string &table : tables)
            play_table(table);
    }

    void play_table(const std::string &table) {
        SCOPED_TRACE(table);
        std::ifstream file(KELBRIN_SOURCE_DIR "/tests/" + table);
        std::string rows((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(rows.empty()) << "cannot read tests/" << table;
        for (std::size_t start = 0, end; start < rows.size(); start = end + 2) {
            end = std::min(rows.find("\n\n", start), rows.size());
            std::string row = rows.substr(start, end - start);
            SCOPED_TRACE(row.substr(0, row.find('\n')));
            fresh_store();
            play(row.substr(row.find('\n') + 1));
        }
    }

    // A database of its own, the options cli_resetOptions gives, the device loaded.
    void fresh_store(bool loaded = true) {
        setenv("KELBRIN_STORE", (directory + "/" + std::to_string(++stores) + ".db").c_str(), 1);
        cli_resetOptions(&options);
        play(loaded ? "load tests/store/device.json" : "");
    }

    void play(const std::string &calls) {
        std::istringstream lines(calls);
        for (std::string line; std::getline(lines, line);) {
            std::size_t arrow = line.find(" =>");
            std::string call = expand(line.substr(0, arrow));
            std::string expected =
                arrow == line.npos ? "OK" : line.substr(std::min(arrow + 4, line.size()));
            EXPECT_EQ(run(call), expand(expected)) << call.substr(0, 100);
        }
        cli_cleanupGroupContext(std::exchange(listing, nullptr));
    }

    virtual std::string run(const std::string &call) {
        std::istringstream words(call);
        std::string verb, name, rest;
        std::getline(words >> verb >> name >> std::ws, rest);
        const char *n = name.c_str(), *r = rest.c_str();
        int32_t err = 99;
        auto code = [&err](int32_t returned) { // the returned code is the error word's
            EXPECT_EQ(returned, err);
            return error_name(err);
        };
        auto text = [&err](char *text) {
            std::string result = err ? error_name(err) : text ? text : "(none)";
            return std::free(text), result;
        };
        if (verb == "get")
            return text(cli_getCustomParam(n, &options, &err));
        if (verb == "set")
            return code(cli_setCustomParam(n, r, &options, &err));
        if (verb == "option")
            return text(cli_getParamOption(n, r, &options, &err));
        if (verb == "create") // parent template number
            return options.groupNumber = std::stoi(rest.substr(rest.find(' '))),
                   text(cli_createDynamicGroup(n, rest.substr(0, rest.find(' ')).c_str(), &options,
                                               &err));
        if (verb == "delete")
            return code(cli_deleteGroup(n, &options, &err));
        if (verb == "sync")
            return code(cli_sync(&options, &err));
        if (verb == "settree")
            return code(cli_setComplexParam(n, tree_of(Json::parse(rest)), &options, &err));
        if (verb == "tree") {
            DataNode *tree = cli_getComplexParam(n, &options, &err);
            std::string shown = err ? error_name(err) : show(tree);
            return std::free(tree), shown;
        }
        if (verb == "load") { // a file of the source tree, or the text of one
            std::string path =
                name.ends_with(".json") ? KELBRIN_SOURCE_DIR "/" + name : directory + "/g.json";
            if (!name.ends_with(".json"))
                std::ofstream(path) << call.substr(5);
            return code(cli_readGroupFile(path.c_str(), &options, &err));
        }
        if (verb == "buf") { // eight '#' and what the call copies over them, NUL shown as \0
            char buffer[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
            int32_t returned = cli_getCustomParamToBuf(n, &options, &err, buffer, std::stoi(rest));
            std::string shown = err ? code(returned) + " " : "";
            for (char c : buffer)
                shown += c ? std::string(1, c) : "\\0";
            return shown;
        }
        if (verb == "list" || verb == "walk" || verb == "groups") {
            groupsListed = verb == "groups";
            listing = groupsListed ? cli_getChildGroupsInGroup(n, &options, &err)
                                   : cli_getParamsInGroup(n, &options, &err);
            return err || verb == "list" ? error_name(err) : walk(verb == "walk");
        }
        if (verb == "next") { // the name handed out ("name=value" for a group), or "end"
            int32_t returned = groupsListed ? cli_getChildGroupInGroup(listing, &options, &err)
                                            : cli_getParamInGroup(listing, &options, &err);
            std::string value = groupsListed ? std::string("=").append(listing->groupValue) : "";
            return err ? code(returned) : listing->end ? "end" : listing->paramName + value;
        }
        if (verb == "overwrite") // the name handed out, changed in place
            return std::strcpy(listing->paramName, n), "OK";
        for (auto [word, field] : {std::pair{"level", &options.securityLevel},
                                   {"case", &options.caseSensitive},
                                   {"nomapped", &options.noMapped},
                                   {"mode", &options.syncMode}})
            if (verb == word)
                return *field = std::stoi(name), "OK";
        return "unknown call " + verb;
    }

    // Every name a listing hands out; with reads, "name=value" as a read
    // gives it while the listing is on the name: its text, or its tree as
    // JSON (and a read of the other kind must be refused).
    std::string walk(bool reads) {
        std::string all, name, value, tree;
        while ((name = run("next")) != "end") {
            if (reads && ((value = run("get " + name)) == "NOT_A_PLAIN_PARAMETER") ==
                             ((tree = run("tree " + name)) == "NOT_A_COMPLEX_PARAMETER"))
                name += " (read as both)";
            if (reads)
                name += "=" + (value == "NOT_A_PLAIN_PARAMETER" ? tree : value);
            all += (all.empty() ? "" : " ") + name;
        }
        cli_cleanupGroupContext(std::exchange(listing, nullptr));
        return all;
    }

    ClientOptions options{};
    std::string directory;
    GroupContext *listing = nullptr;
    bool groupsListed = false;
    int stores = 0;
};
