#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "errors.h"

namespace {

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
