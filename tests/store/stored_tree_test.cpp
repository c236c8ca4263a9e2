// The stored tree text's reader: what the writer writes reads back into the
// same tree, and any other text is refused without reading past its end.
#include <memory>

#include "store_table.h"
#include "base/stored_tree_reader.h"
#include "base/tree_text.h"

namespace {

using kelbrin::deliver_tree;

// 0 when the text reads, else its error. It is read from a heap copy of
// exactly its size, so that the sanitizer sees any read past its end.
int32_t error_of(std::string_view text) {
    auto copy = std::make_unique<char[]>(text.size());
    std::memcpy(copy.get(), text.data(), text.size());
    try {
        std::free(deliver_tree({copy.get(), text.size()}));
        return 0;
    } catch (const kelbrin::StoreError &error) {
        return error.code;
    }
}

// The text's tree as the writer writes it.
std::string read_back(std::string_view text) {
    DataNode *tree = deliver_tree(text);
    std::string written = kelbrin::serialise_tree(tree);
    std::free(tree);
    return written;
}

std::string text_scalar(const std::string &quoted) {
    return R"(["s",2,null,")" + quoted + "\"]";
}

TEST(StoredTree, WriterOutputReadsBackAsTheSameTree) {
    std::string wide = "{\"k\":0";
    for (int i = 0; i < 2000; i++)
        wide += ",\"k" + std::to_string(i) + "\":[" + std::to_string(i - 1000) + ",\"v\"]";
    for (const std::string &natural : std::vector<std::string>{
             "null", "[]", "{}", R"({"":"","e":[],"h":{}})", "[0,-1,2147483647,-2147483648,\"-0\"]",
             wide + "}", R"({"q\"b\\s/":"\b\f\n\r\t\u0001\u007f","é€𝄞":"ü𝄞"})",
             "<63*[>{\"deep\":1}<63*]>"}) {
        std::string stored = kelbrin::stored_form_of(Json::parse(expand(natural)));
        EXPECT_EQ(read_back(stored), stored) << natural;
    }
    const char *everyKind =
        R"(["h",[["t",["s",2,null,"plain"]],["c",["s",3,"string","custom"]],)"
        R"(["i",["s",1,"counter",-7]],["e",["s",0,"nothing",null]],["l",["l",[null]]]]])";
    EXPECT_EQ(read_back(everyKind), everyKind);
    EXPECT_EQ(read_back(R"(["s",3,"x",null])"), R"(["s",3,"x",""])")
        << "a text scalar is written with a text";
}

// A short text is placed in one pass, in a block sized for the most nodes
// it can hold: the densest texts up to that size fill it.
TEST(StoredTree, DensestShortTextsFitTheirBlock) {
    for (const char *densest : {R"(["l",[<202*null,>null]])", R"(["h",[<100*["",null],>["",null]]])",
                                R"(<64*["l",[>null<64*]]>)", R"(["l",[<96*["l",[]],>null]])"}) {
        std::string stored = expand(densest);
        ASSERT_LE(stored.size(), 1024u) << densest;
        EXPECT_EQ(read_back(stored), stored) << densest;
    }
}

// Escapes, and UTF-8 at each boundary of its lengths, read as a JSON parser reads them.
TEST(StoredTree, EscapesAndUtf8ReadAsJsonReadsThem) {
    for (const char *quoted :
         {R"(\/\"\\\u0041\u007f\u0080\u07ff\u0800\uffff\ud800\udc00\udbff\udfff)",
          "\x7f\xc2\x80\xdf\xbf\xe0\xa0\x80\xed\x9f\xbf\xee\x80\x80\xef\xbf\xbf",
          "\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"}) {
        DataNode *tree = deliver_tree(text_scalar(quoted));
        EXPECT_EQ(tree->u.scalar.value.string,
                  Json::parse(text_scalar(quoted))[3].get<std::string>())
            << quoted;
        std::free(tree);
    }
}

TEST(StoredTree, OnlyTheWritersFormIsRead) {
    const std::string refused[] = {
        // layout
        "", " null", "null ", "nul", "nullnull", "[]", "{}", R"(["x",[]])", R"(["l", []])",
        R"(["l",[]] )", R"(["l",[null,]])", R"(["l",[,]])", R"(["l",[null])", R"(["l",null])",
        R"(["h",[[1,null]]])", R"(["h",[["k"]]])", R"(["h",[["k",null,null]]])",
        R"(["h",["k",null]])",
        // subtypes and the values that suit them
        R"(["s",4,null,null])", R"(["s",-1,null,null])", R"(["s",1,null,null])",
        R"(["s",1,null,"1"])", R"(["s",2,null,5])", R"(["s",3,null,true])", R"(["s",0,null,"x"])",
        R"(["s",0,null,0])", R"(["s",3,5,"x"])", R"(["s",3,null])", R"(["s","3",null,"x"])",
        // integers
        R"(["s",1,null,2147483648])", R"(["s",1,null,-2147483649])", R"(["s",1,null,99999999999])",
        R"(["s",1,null,1.5])", R"(["s",1,null,1e3])", R"(["s",1,null,01])", R"(["s",1,null,-])",
        R"(["s",1,null,+1])", R"(["s",01,null,1])",
        // escapes, control bytes, and UTF-8 overlong, cut, a surrogate or past U+10FFFF
        text_scalar(R"(\x)"), text_scalar(R"(\u12)"), text_scalar(R"(\uZZZZ)"), text_scalar(R"(\)"),
        text_scalar(R"(\ud834)"), text_scalar(R"(\ud834\u0041)"), text_scalar(R"(\udd1e)"),
        text_scalar(R"(\ud834\udbff)"), text_scalar("\x01"), text_scalar("\n"), text_scalar("\x80"),
        text_scalar("\xc1\xbf"), text_scalar("\xc2\x7f"), text_scalar("\xc2\xc0"),
        text_scalar("\xe0\x9f\xbf"), text_scalar("\xe2\x82"), text_scalar("\xed\xa0\x80"),
        text_scalar("\xf0\x8f\xbf\xbf"), text_scalar("\xf4\x90\x80\x80"),
        text_scalar("\xf5\x80\x80\x80"), text_scalar("\xff"),
        // limits: 64 levels below the root, 100,000 nodes
        expand(R"(<65*["l",[>null<65*]]>)"), expand(R"(["l",[<99999*null,>null]])")};
    for (const std::string &text : refused)
        EXPECT_EQ(error_of(text), kelbrin::BAD_TREE) << text;
    EXPECT_EQ(error_of(expand(R"(<64*["l",[>null<64*]]>)")), 0);
    EXPECT_EQ(error_of(expand(R"(["l",[<99998*null,>null]])")), 0);
}

TEST(StoredTree, TextCutShortAnywhereIsRefused) {
    std::string stored = kelbrin::stored_form_of(
        Json::parse(R"({"a":[1,-20,"x\n\u0001é€𝄞"],"b":{"c":null,"d":[]},"e":2147483647})"));
    for (std::size_t size = 0; size < stored.size(); size++)
        EXPECT_EQ(error_of(std::string_view(stored).substr(0, size)), kelbrin::BAD_TREE) << size;
    EXPECT_EQ(error_of(stored), 0);
}

} // namespace
