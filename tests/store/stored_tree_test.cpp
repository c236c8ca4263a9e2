// The reader of stored tree texts: what the writer produces reads back into
// the same tree, laid out in one block as the drep_* calls expect, and any
// other text is refused without reading past its end.
#include <cstring>
#include <memory>
#include <vector>

#include "stored_tree_reader.h"
#include "tree_text.h"
#include "errors.h"
#include "store_fixture.h"

namespace {

using kelbrin::deliver_tree;
using kelbrin::serialise_tree;
using kelbrin::stored_form_of;
using nlohmann::ordered_json;
using Tree = std::unique_ptr<DataNode, decltype(&std::free)>;

// The error deliver_tree gives (0 when it reads the text), reading from a
// heap copy of exactly the text's size, so that the sanitizer sees any
// read past its end.
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

std::string nested_lists(int levels, const std::string &inner) {
    std::string text = inner;
    for (int i = 0; i < levels; i++)
        text = "[\"l\",[" + text + "]]";
    return text;
}

std::string list_of_nulls(std::size_t items) {
    std::string text = "[\"l\",[null";
    for (std::size_t i = 1; i < items; i++)
        text += ",null";
    return text + "]]";
}

// The pieces of a delivered tree in the order they come in its text.
struct Pieces {
    struct Piece {
        const void *at;
        std::size_t size;
    };
    std::vector<Piece> records, texts;
    std::vector<const DataNode *> containers;

    void text(const char *placed) {
        if (placed)
            texts.push_back({placed, std::strlen(placed) + 1});
    }

    void node(const DataNode *node) {
        records.push_back({node, sizeof *node});
        if (node->kind == DATA_SCALAR) {
            text(static_cast<const char *>(node->u.scalar.lib1));
            if (node->u.scalar.subtype >= SCALAR_STRING)
                text(node->u.scalar.value.string);
        } else if (node->kind == DATA_LIST || node->kind == DATA_HASH) {
            containers.push_back(node);
        }
        for (ListCell *cell = node->kind == DATA_LIST ? node->u.list.firstCell : nullptr; cell;
             cell = cell->next) {
            records.push_back({cell, sizeof *cell});
            this->node(cell->value);
        }
        for (HashEntry *entry = node->kind == DATA_HASH ? node->u.hash.firstEntry : nullptr; entry;
             entry = entry->next) {
            records.push_back({entry, sizeof *entry});
            text(entry->key);
            this->node(entry->value);
        }
    }
};

// Reads the text and gives the tree's text as the writer writes it, after
// checking its block: the records from the root on, the texts after them,
// and every container knowing the block's bounds.
std::string read_back(const std::string &text) {
    Tree tree(deliver_tree(text), &std::free);
    Pieces pieces;
    pieces.node(tree.get());
    const char *next = reinterpret_cast<const char *>(tree.get());
    for (const auto *kind : {&pieces.records, &pieces.texts}) {
        for (const Pieces::Piece &piece : *kind) {
            EXPECT_EQ(piece.at, next) << text;
            next += piece.size;
        }
    }
    for (const DataNode *container : pieces.containers) {
        EXPECT_EQ(container->u.scalar.lib1, tree.get());
        EXPECT_EQ(container->u.scalar.lib2, next);
    }
    return serialise_tree(tree.get());
}

TEST(StoredTree, WriterOutputReadsBackAsTheSameTree) {
    std::string wide = "{";
    for (int i = 0; i < 2000; i++)
        wide += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":[" + std::to_string(i - 1000) +
                ",\"v\"]";
    const std::string naturals[] = {
        "null",
        "[]",
        "{}",
        "{\"\":\"\",\"empty\":[],\"hash\":{}}",
        "[0,-1,2147483647,-2147483648,\"-0\"]",
        R"({"quote\"back\\slash/":"\b\f\n\r\t\u0001\u001f\u007f","é€𝄞":"ünï𝄞 cöde"})",
        // the deepest: 63 lists, a hash, and its scalar at the greatest depth
        std::string(kelbrin::maxTreeDepth - 1, '[') + "{\"deep\":1}" +
            std::string(kelbrin::maxTreeDepth - 1, ']'),
        wide + "}",
    };
    for (const std::string &natural : naturals) {
        std::string stored = stored_form_of(ordered_json::parse(natural));
        EXPECT_EQ(read_back(stored), stored) << natural;
    }
}

TEST(StoredTree, EveryNodeKindAndSubtypeReadsBack) {
    DataNode *hash = drep_createData();
    drep_initializeHash(hash);
    DataNode *items[] = {drep_createData(), drep_createData(), drep_createData(),
                         drep_createData()};
    drep_initializeScalar(items[0], SCALAR_STRING, nullptr);
    drep_assignStringToCustom(items[0], "plain text", 0);
    drep_initializeScalar(items[1], SCALAR_INTEGER, "counter");
    items[1]->u.scalar.value.integer = -7;
    drep_initializeScalar(items[2], SCALAR_EMPTY, "nothing");
    drep_initializeList(items[3]);
    drep_addToList(items[3], drep_createData());
    const char *keys[] = {"text", "integer", "empty", "list"};
    for (int i = 0; i < 4; i++)
        drep_setHashValue(hash, items[i], keys[i]);
    std::string stored = serialise_tree(hash);
    EXPECT_EQ(read_back(stored), stored);
    release_tree(hash);
}

// What the writer never writes but JSON allows reads as a JSON parser reads it.
TEST(StoredTree, OtherEscapesReadAsJsonReadsThem) {
    for (const char *text :
         {R"(["s",3,"\/",null])", R"(["s",2,null,"\u00e9\u20AC\ud834\udd1e\/\u0041"])",
          R"(["h",[["\u006b\t",["s",1,null,-0]]]])", R"(["s",2,"x",null])"}) {
        Tree tree(deliver_tree(text), &std::free);
        ordered_json expected = ordered_json::parse(text);
        if (expected.is_array() && expected[0] == "s" && expected[1] >= SCALAR_STRING &&
            expected[3].is_null())
            expected[3] = ""; // a text scalar is written with its text, even when it has none
        EXPECT_EQ(serialise_tree(tree.get()), expected.dump()) << text;
    }
}

TEST(StoredTree, OnlyTheWritersFormIsRead) {
    const std::string refused[] = {
        "",
        " null",
        "null ",
        "nul",
        "nullnull",
        "[]",
        "{}",
        "[\"x\",[]]",
        "[\"l\", []]",
        "[\"l\",[]] ",
        "[\"l\",[null,]]",
        "[\"l\",[,]]",
        "[\"l\",[null]",
        "[\"l\",null]",
        "[\"h\",[[1,null]]]",
        "[\"h\",[[\"k\"]]]",
        "[\"h\",[[\"k\",null,null]]]",
        "[\"h\",[\"k\",null]]",
        // subtypes and the values that suit them
        "[\"s\",4,null,null]",
        "[\"s\",-1,null,null]",
        "[\"s\",1,null,null]",
        "[\"s\",1,null,\"1\"]",
        "[\"s\",2,null,5]",
        "[\"s\",3,null,true]",
        "[\"s\",0,null,\"x\"]",
        "[\"s\",0,null,0]",
        "[\"s\",3,5,\"x\"]",
        "[\"s\",3,null]",
        "[\"s\",\"3\",null,\"x\"]",
        // integers
        "[\"s\",1,null,2147483648]",
        "[\"s\",1,null,-2147483649]",
        "[\"s\",1,null,99999999999]",
        "[\"s\",1,null,1.5]",
        "[\"s\",1,null,1e3]",
        "[\"s\",1,null,01]",
        "[\"s\",1,null,-]",
        "[\"s\",1,null,+1]",
        "[\"s\",01,null,1]",
        // strings
        R"(["s",2,null,"\x"])",
        R"(["s",2,null,"\u12"])",
        R"(["s",2,null,"\uZZZZ"])",
        R"(["s",2,null,"\"])",
        R"(["s",2,null,"\ud834"])",
        R"(["s",2,null,"\ud834\u0041"])",
        R"(["s",2,null,"\udd1e"])",
        R"(["s",2,null,"\ud834\udbff"])",
        "[\"s\",2,null,\"\x01\"]",
        "[\"s\",2,null,\"\n\"]",
        "[\"s\",2,null,\"\xff\"]",
        "[\"s\",2,null,\"\xc0\x80\"]",
        "[\"s\",2,null,\"\xed\xa0\x80\"]",
        "[\"s\",2,null,\"\xf4\x90\x80\x80\"]",
        "[\"s\",2,null,\"\xe2\x82\"]",
        "[\"s\",2,null,\"\x80\"]",
        // limits
        nested_lists(kelbrin::maxTreeDepth + 1, "null"),
        list_of_nulls(kelbrin::maxTreeNodes),
    };
    for (const std::string &text : refused)
        EXPECT_EQ(error_of(text), kelbrin::BAD_TREE) << text;
    EXPECT_EQ(error_of(nested_lists(kelbrin::maxTreeDepth, "null")), 0)
        << "the deepest tree the writer writes";
    EXPECT_EQ(error_of(list_of_nulls(kelbrin::maxTreeNodes - 1)), 0)
        << "the most nodes the writer writes";
}

TEST(StoredTree, TextCutShortAnywhereIsRefused) {
    std::string stored = stored_form_of(
        ordered_json::parse(R"({"a":[1,-20,"x\n\u0001é𝄞"],"b":{"c":null,"d":[]},"e":2147483647})"));
    for (std::size_t size = 0; size < stored.size(); size++)
        EXPECT_EQ(error_of(std::string_view(stored).substr(0, size)), kelbrin::BAD_TREE) << size;
    EXPECT_EQ(error_of(stored), 0);
}

// The writers keep to the reader's limits, so whatever they store can be read.
TEST(StoredTree, WritersKeepToTheReadersLimits) {
    ordered_json tooMany = ordered_json::array();
    for (std::size_t i = 0; i < kelbrin::maxTreeNodes; i++)
        tooMany.push_back(nullptr);
    try {
        stored_form_of(tooMany);
        ADD_FAILURE() << "a group file tree of too many nodes was taken";
    } catch (const kelbrin::StoreError &error) {
        EXPECT_EQ(error.code, kelbrin::FILE_INVALID);
    }
    tooMany.erase(tooMany.begin());
    EXPECT_EQ(error_of(stored_form_of(tooMany)), 0);
}

} // namespace
