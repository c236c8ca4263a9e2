// The text of complex values, from trees built by hand as the library lays
// them out: the shapes a store rarely hands out. Custom scalars need the
// library; the program tests cover them with the worked example.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "output/complex_render.h"

namespace {

// Every node, cell and text of a test tree, released at the end of the test.
class TreeBuilder {
  public:
    ~TreeBuilder() {
        for (void *block : blocks_)
            std::free(block);
    }

    DataNode *make(int32_t kind, int32_t subtype = 0) {
        DataNode *node = allocate<DataNode>();
        node->kind = kind;
        if (kind == DATA_SCALAR)
            node->u.scalar.subtype = subtype;
        return node;
    }
    DataNode *scalar(int32_t subtype) { return make(DATA_SCALAR, subtype); }
    DataNode *string(const char *text) {
        DataNode *node = scalar(SCALAR_STRING);
        node->u.scalar.value.string = keep(strdup(text));
        return node;
    }
    DataNode *integer(int32_t number) {
        DataNode *node = scalar(SCALAR_INTEGER);
        node->u.scalar.value.integer = number;
        return node;
    }
    DataNode *list(const std::vector<DataNode *> &items) {
        DataNode *node = make(DATA_LIST);
        ListCell **tail = &node->u.list.firstCell;
        for (DataNode *item : items) {
            *tail = allocate<ListCell>();
            (*tail)->value = item;
            tail = &(*tail)->next;
        }
        return node;
    }
    // A null key text stands for a null key pointer.
    DataNode *hash(const std::vector<std::pair<const char *, DataNode *>> &entries) {
        DataNode *node = make(DATA_HASH);
        HashEntry **tail = &node->u.hash.firstEntry;
        for (const auto &[key, value] : entries) {
            *tail = allocate<HashEntry>();
            (*tail)->key = key != nullptr ? keep(strdup(key)) : nullptr;
            (*tail)->value = value;
            tail = &(*tail)->next;
        }
        return node;
    }

  private:
    template <typename T> T *allocate() { return keep(static_cast<T *>(std::calloc(1, sizeof(T)))); }
    template <typename T> T *keep(T *block) {
        blocks_.push_back(block);
        return block;
    }
    std::vector<void *> blocks_;
};

std::string render(DataNode *node, const char *shortName = "Zones") {
    std::string text;
    render_complex_value(text, node, shortName, 1);
    return text;
}

struct RenderCase {
    const char *behaviour;
    std::string expected;
};

TEST(ComplexRender, SmallShapes) {
    TreeBuilder t;
    const std::vector<std::pair<DataNode *, RenderCase>> cases = {
        {t.hash({}), {"empty top hash writes nothing", ""}},
        {t.hash({{"h", t.hash({})}, {"l", t.list({})}}),
         {"empty nested hash and empty list", "Zones.h \t {\n} \nZones.l \t =  ( )\n"}},
        {t.scalar(SCALAR_EMPTY), {"empty scalar", " [ \"\"  ] "}},
        {t.integer(-5), {"negative integer keeps its sign", " [ \"-5\"  ] "}},
        {t.integer(INT32_MIN), {"smallest integer", " [ \"-2147483648\"  ] "}},
        {t.hash({{"abcdef", t.string("x")}, {"abcdefg", t.string("y")}}),
         {"six-character key gets an alignment tab, seven does not",
          "Zones.abcdef \t =  [ \"x\"  ] \nZones.abcdefg  =  [ \"y\"  ] \n"}},
        {t.hash({{"", t.string("v")}}), {"empty key writes only alignment", "\t =  [ \"v\"  ] \n"}},
        {t.hash({{nullptr, t.string("v")}}), {"null key reads as empty", "\t =  [ \"v\"  ] \n"}},
        {t.list({t.string("1"), t.hash({{"k", t.string("v")}})}),
         {"hash inside a list stays on the list's line",
          " ( [ \"1\"  ]  {\n\tk \t\t =  [ \"v\"  ] \n}  )"}},
        {t.string("v"), {"top scalar has no short name", " [ \"v\"  ] "}},
        {t.hash({{"odd", t.make(9)}, {"none", t.make(DATA_NONE)}}),
         {"unknown kinds write NONE after the equals sign",
          "Zones.odd \t =  { NONE }\nZones.none \t =  { NONE }\n"}},
        {t.hash({{"gap", nullptr}}), {"null value is written as NONE", "Zones.gap \t =  { NONE }\n"}},
        {t.list({nullptr}), {"null list item is written as NONE", " ( { NONE } )"}},
        {t.scalar(7), {"unknown subtype has an empty body", " [  ] "}},
        {t.string("say \"hi\"\n\tthere"),
         {"quotes, newlines and tabs pass unchanged", " [ \"say \"hi\"\n\tthere\"  ] "}},
    };
    for (const auto &[tree, expected] : cases)
        EXPECT_EQ(render(tree), expected.expected) << expected.behaviour;
    EXPECT_EQ(render(nullptr), " { NONE }") << "null top node";
}

TEST(ComplexRender, LongValuesComeOutWhole) {
    TreeBuilder t;
    const std::string longScalar(1000, 's');
    const int itemCount = 1000;
    std::vector<DataNode *> items;
    for (int i = 0; i < itemCount; i++)
        items.push_back(t.string(std::to_string(i).c_str()));
    DataNode *tree = t.hash({{"big", t.string(longScalar.c_str())}, {"many", t.list(items)}});

    std::string expected = "Zones.big \t =  [ \"" + longScalar + "\"  ] \nZones.many \t =  (";
    for (int i = 0; i < itemCount; i++)
        expected += " [ \"" + std::to_string(i) + "\"  ] ";
    expected += " )\n";
    ASSERT_GT(expected.size(), 8191u);
    EXPECT_EQ(render(tree), expected);
}

} // namespace
