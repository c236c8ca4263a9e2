// A fresh embedded store loaded with the example device configuration.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "harness.h"

namespace groups_test {

// The dynamic badge groups of the example device.
inline const char *const badgeParent = "root.Badge";
inline const char *const badgeTemplate = "badge";
inline const char *const badgePrefix = "B";
inline constexpr int badgeMaximum = 8;

inline std::string badgeGroup(int number) {
    return std::string(badgeParent) + "." + badgePrefix + std::to_string(number);
}

class DeviceStore : public testing::Test {
  protected:
    void SetUp() override {
        harness::Result loaded =
            run({"readgroupfile", harness::sourceDir() + "/examples/device.json"});
        ASSERT_EQ(loaded.status, 0) << loaded.err;
    }

    harness::Result run(std::vector<std::string> args, const std::string &cwd = "") {
        harness::Run request;
        request.realStore = true;
        request.storePath = storePath();
        request.args = std::move(args);
        request.cwd = cwd;
        return harness::run(request);
    }

    std::string storePath() const { return directory.file("store.db"); }

    harness::TempDir directory;
};

} // namespace groups_test
