#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "errors.h"

namespace {

TEST(ErrorTable, CodesAreDistinctNegativeAndKeepTheFixedOnes) {
    std::set<int32_t> codes;
    for (const kelbrin::ErrorInfo &info : kelbrin::error_table()) {
        EXPECT_LT(info.code, 0) << info.name;
        EXPECT_TRUE(codes.insert(info.code).second) << info.name;
        EXPECT_NE(std::string(info.text), "") << info.name;
    }
    EXPECT_EQ(kelbrin::GROUP_NUMBER_TAKEN, -4);
    EXPECT_EQ(kelbrin::GROUP_LIMIT, -8);
}

TEST(ErrorTable, DocumentationListsExactlyTheCodesOfTheTable) {
    std::ifstream file(KELBRIN_SOURCE_DIR "/docs/store-errors.md");
    ASSERT_TRUE(file) << "docs/store-errors.md";
    std::stringstream text;
    text << file.rdbuf();
    std::string document = text.str();
    std::set<std::pair<int32_t, std::string>> documented;
    std::regex row(R"(\n\| (-\d+) \| `([A-Z_]+)` \|)");
    for (std::sregex_iterator it(document.begin(), document.end(), row), end; it != end; ++it)
        documented.emplace(std::stoi((*it)[1]), (*it)[2]);
    std::set<std::pair<int32_t, std::string>> table;
    for (const kelbrin::ErrorInfo &info : kelbrin::error_table())
        table.emplace(info.code, info.name);
    EXPECT_EQ(documented, table);
}

} // namespace
