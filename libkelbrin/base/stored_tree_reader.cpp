// Reads a tree's stored text straight into the block deliver_tree hands out,
// with no JSON document in between. Only the writer's form (tree_text.cpp)
// is read, JSON without blanks in its node layout; anything else is a bad
// tree. A long text takes two passes of the same reader: the first checks
// the text and measures the block, the second places the tree in it. A
// short one is placed at once, in a block sized for the most it can hold.
#include "base/stored_tree_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>

#include "base/errors.h"
#include "base/tree_text.h"

namespace kelbrin {

namespace {

[[noreturn]] void refuse() {
    throw StoreError{BAD_TREE};
}

// Sizes of the pieces of a delivered tree: records first (all of them
// multiples of 8 bytes), texts after them.
struct Layout {
    std::size_t recordBytes = 0;
    std::size_t textBytes = 0;
};

// Bytes a string copies unchanged: printable ASCII but the quote and backslash.
bool plain(char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte < 0x80 && c != '"' && c != '\\';
}

template <bool placing> class Pass {
  public:
    // Measuring: only the text.
    explicit Pass(std::string_view text) : at_(text.data()), end_(text.data() + text.size()) {}

    // Placing: the block measured for the same text.
    Pass(std::string_view text, char *block, const Layout &layout)
        : at_(text.data()), end_(text.data() + text.size()), begin_(block), records_(block),
          texts_(block + layout.recordBytes),
          blockEnd_(block + layout.recordBytes + layout.textBytes) {}

    DataNode *tree() {
        DataNode *root = record<DataNode>();
        node(root, 0);
        if (at_ != end_)
            refuse();
        return root;
    }

    const Layout &layout() const { return layout_; }

  private:
    void node(DataNode *node, int depth) {
        if (depth > maxTreeDepth)
            refuse();
        if (take("null"))
            return;
        if (take("[\"s\","))
            scalar(node);
        else if (take("[\"l\",["))
            list(node, depth);
        else if (take("[\"h\",["))
            hash(node, depth);
        else
            refuse();
        expect(']');
    }

    // A scalar's value must suit its subtype: an integer for an integer, a
    // text or null for a text, null for an empty scalar.
    void scalar(DataNode *node) {
        int32_t subtype = integer();
        if (subtype < SCALAR_EMPTY || subtype > SCALAR_CUSTOM)
            refuse();
        expect(',');
        char *typeName = take("null") ? nullptr : text();
        expect(',');
        int32_t number = 0;
        char *value = nullptr;
        if (subtype == SCALAR_INTEGER) {
            number = integer();
        } else if (!take("null")) {
            if (subtype == SCALAR_EMPTY)
                refuse();
            value = text();
        }
        if constexpr (placing) {
            node->kind = DATA_SCALAR;
            node->u.scalar.subtype = subtype;
            node->u.scalar.lib1 = typeName;
            if (subtype == SCALAR_INTEGER)
                node->u.scalar.value.integer = number;
            else
                node->u.scalar.value.string = value;
        }
    }

    void list(DataNode *list, int depth) {
        ListCell **link = start_container(list, DATA_LIST) ? &list->u.list.firstCell : nullptr;
        if (take(']'))
            return;
        do {
            auto *cell = record<ListCell>();
            DataNode *item = record<DataNode>();
            if constexpr (placing) {
                cell->value = item;
                *link = cell;
                link = &cell->next;
            }
            node(item, depth + 1);
        } while (take(','));
        expect(']');
    }

    void hash(DataNode *hash, int depth) {
        HashEntry **link = start_container(hash, DATA_HASH) ? &hash->u.hash.firstEntry : nullptr;
        if (take(']'))
            return;
        do {
            expect('[');
            auto *entry = record<HashEntry>();
            char *key = text();
            expect(',');
            DataNode *value = record<DataNode>();
            if constexpr (placing) {
                entry->key = key;
                entry->value = value;
                *link = entry;
                link = &entry->next;
            }
            node(value, depth + 1);
            expect(']');
        } while (take(','));
        expect(']');
    }

    // Containers remember their block's bounds (see capi/data_tree.cpp). True when placing.
    bool start_container(DataNode *container, int32_t kind) {
        if constexpr (placing) {
            container->kind = kind;
            container->u.scalar.lib1 = begin_;
            container->u.scalar.lib2 = blockEnd_;
        }
        return placing;
    }

    // A JSON integer that fits in 32 bits.
    int32_t integer() {
        bool negative = take('-');
        if (at_ == end_ || *at_ < '0' || *at_ > '9')
            refuse();
        if (take('0'))
            return 0;
        int64_t value = 0;
        for (int digits = 0; at_ != end_ && *at_ >= '0' && *at_ <= '9'; ++at_) {
            if (++digits > 10)
                refuse();
            value = value * 10 + (*at_ - '0');
        }
        if (negative)
            value = -value;
        if (value < INT32_MIN || value > INT32_MAX)
            refuse();
        return static_cast<int32_t>(value);
    }

    // A quoted string, decoded and ended with a NUL in the block; null when measuring.
    char *text() {
        expect('"');
        char *start = texts_;
        for (;;) {
            const char *run = at_;
            while (at_ != end_ && plain(*at_))
                ++at_;
            put(run, static_cast<std::size_t>(at_ - run));
            if (at_ == end_)
                refuse();
            if (*at_ == '"')
                break;
            if (*at_ == '\\')
                escape();
            else
                utf8_character();
        }
        ++at_;
        put("", 1);
        return start;
    }

    void escape() {
        ++at_;
        if (at_ == end_)
            refuse();
        char c = *at_++;
        switch (c) {
        case '"':
        case '\\':
        case '/':
            return put(&c, 1);
        case 'b':
            return put("\b", 1);
        case 'f':
            return put("\f", 1);
        case 'n':
            return put("\n", 1);
        case 'r':
            return put("\r", 1);
        case 't':
            return put("\t", 1);
        case 'u':
            return code_point();
        default:
            refuse();
        }
    }

    // \uXXXX, or a surrogate pair of them, written as UTF-8.
    void code_point() {
        uint32_t code = hex4();
        if (code >= 0xDC00 && code <= 0xDFFF)
            refuse();
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (!take("\\u"))
                refuse();
            uint32_t low = hex4();
            if (low < 0xDC00 || low > 0xDFFF)
                refuse();
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        char bytes[4];
        std::size_t size;
        if (code < 0x80) {
            bytes[0] = static_cast<char>(code);
            size = 1;
        } else if (code < 0x800) {
            bytes[0] = static_cast<char>(0xC0 | code >> 6);
            size = 2;
        } else if (code < 0x10000) {
            bytes[0] = static_cast<char>(0xE0 | code >> 12);
            size = 3;
        } else {
            bytes[0] = static_cast<char>(0xF0 | code >> 18);
            size = 4;
        }
        for (std::size_t i = 1; i < size; ++i)
            bytes[i] = static_cast<char>(0x80 | ((code >> (6 * (size - 1 - i))) & 0x3F));
        put(bytes, size);
    }

    uint32_t hex4() {
        if (end_ - at_ < 4)
            refuse();
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i, ++at_) {
            char c = *at_;
            uint32_t digit = c >= '0' && c <= '9'   ? c - '0'
                             : c >= 'a' && c <= 'f' ? c - 'a' + 10
                             : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                    : 16;
            if (digit == 16)
                refuse();
            value = value << 4 | digit;
        }
        return value;
    }

    // One UTF-8 character of two to four bytes, copied as it is. Control
    // characters, overlong forms, surrogates and code points past U+10FFFF
    // are refused.
    void utf8_character() {
        auto lead = static_cast<unsigned char>(*at_);
        int follow;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2;
            low = lead == 0xE0 ? 0xA0 : low;
            high = lead == 0xED ? 0x9F : high;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3;
            low = lead == 0xF0 ? 0x90 : low;
            high = lead == 0xF4 ? 0x8F : high;
        } else {
            refuse();
        }
        if (end_ - at_ <= follow)
            refuse();
        for (int i = 1; i <= follow; ++i) {
            auto byte = static_cast<unsigned char>(at_[i]);
            if (byte < low || byte > high)
                refuse();
            low = 0x80;
            high = 0xBF;
        }
        put(at_, static_cast<std::size_t>(follow) + 1);
        at_ += follow + 1;
    }

    bool take(char c) {
        if (at_ == end_ || *at_ != c)
            return false;
        ++at_;
        return true;
    }

    template <std::size_t size> bool take(const char (&literal)[size]) {
        constexpr std::size_t length = size - 1;
        if (static_cast<std::size_t>(end_ - at_) < length || std::memcmp(at_, literal, length) != 0)
            return false;
        at_ += length;
        return true;
    }

    void expect(char c) {
        if (!take(c))
            refuse();
    }

    template <typename Record> Record *record() {
        if constexpr (std::is_same_v<Record, DataNode>) {
            if (++nodes_ > maxTreeNodes)
                refuse();
        }
        if constexpr (placing) {
            auto *placed = new (records_) Record{};
            records_ += sizeof(Record);
            return placed;
        } else {
            layout_.recordBytes += sizeof(Record);
            return nullptr;
        }
    }

    void put(const char *bytes, std::size_t size) {
        if constexpr (placing) {
            std::memcpy(texts_, bytes, size);
            texts_ += size;
        } else {
            layout_.textBytes += size;
        }
    }

    const char *at_;
    const char *end_;
    std::size_t nodes_ = 0;
    Layout layout_;
    char *begin_ = nullptr;
    char *records_ = nullptr;
    char *texts_ = nullptr;
    char *blockEnd_ = nullptr;
};

// Stored texts up to this size are placed in one pass, into a block sized
// for the most records such a text can hold: every node but the root takes
// at least 5 bytes of it ("null" and a comma, or its parent's brackets),
// and a node and a hash entry or list cell of room. Larger texts are
// measured first, so that their block is no larger than the tree.
constexpr std::size_t onePassBytes = 1024;

Layout most_for(std::string_view stored) {
    std::size_t nodes = 1 + stored.size() / 5;
    return Layout{nodes * (sizeof(DataNode) + std::max(sizeof(HashEntry), sizeof(ListCell))), stored.size()};
}

} // namespace

DataNode *deliver_tree(std::string_view stored) {
    Layout layout;
    if (stored.size() <= onePassBytes) {
        layout = most_for(stored);
    } else {
        Pass<false> measuring(stored);
        measuring.tree();
        layout = measuring.layout();
    }
    std::unique_ptr<char, decltype(&std::free)> block(
        static_cast<char *>(std::malloc(layout.recordBytes + layout.textBytes)), &std::free);
    if (!block)
        throw StoreError{OUT_OF_MEMORY};
    DataNode *root = Pass<true>(stored, block.get(), layout).tree();
    block.release();
    return root;
}

} // namespace kelbrin
