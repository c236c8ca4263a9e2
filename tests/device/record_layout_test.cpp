// The records that the program and the store library share must sit where
// the device's documentation puts them: on 32-bit ARM every field is one
// 32-bit word, counted from 1; on x86-64 pointers take 8 bytes and the
// natural C layout gives the offsets written next to each word.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include <kelbrin.h>

namespace {

constexpr bool thirtyTwoBit = sizeof(void *) == 4;
constexpr size_t wordBytes = 4;

struct Place {
    const char *field;
    size_t actualOffset;
    size_t word;      // 1-based, as the device documentation counts
    size_t x86Offset; // the same field on x86-64
};

size_t documented_offset(size_t word, size_t x86Offset) {
    return thirtyTwoBit ? (word - 1) * wordBytes : x86Offset;
}

bool architecture_documented() {
#if defined(__arm__) || defined(__x86_64__)
    return true;
#else
    return false;
#endif
}

#define PLACE(record, member, word, x86) {#record "." #member, offsetof(record, member), word, x86}

TEST(RecordLayout, SharedRecordFieldsAreTheDocumentedWords) {
    if (!architecture_documented())
        GTEST_SKIP() << "no documented layout for this architecture";
    const Place places[] = {
        PLACE(ClientOptions, port, 1, 0), PLACE(ClientOptions, syncMode, 2, 4),
        PLACE(ClientOptions, groupNumber, 3, 8), PLACE(ClientOptions, caseSensitive, 4, 12),
        PLACE(ClientOptions, securityLevel, 9, 32), PLACE(ClientOptions, noMapped, 12, 44),
        PLACE(GroupContext, paramName, 1, 0), PLACE(GroupContext, groupName, 4, 24),
        PLACE(GroupContext, groupValue, 5, 32), PLACE(GroupContext, end, 6, 40),
        PLACE(DataNode, kind, 1, 0), PLACE(DataNode, u.scalar.subtype, 3, 8),
        PLACE(DataNode, u.scalar.value, 4, 16), PLACE(DataNode, u.scalar.lib1, 5, 24),
        PLACE(DataNode, u.scalar.lib2, 6, 32), PLACE(DataNode, u.list.firstCell, 3, 8),
        PLACE(DataNode, u.hash.firstEntry, 3, 8),
        PLACE(ListCell, value, 1, 0), PLACE(ListCell, next, 2, 8),
        PLACE(HashEntry, next, 1, 0), PLACE(HashEntry, key, 2, 8),
        PLACE(HashEntry, value, 3, 16),
    };
    for (const Place &place : places)
        EXPECT_EQ(place.actualOffset, documented_offset(place.word, place.x86Offset))
            << place.field;
    EXPECT_EQ(sizeof(ClientOptions), 16 * wordBytes);
    EXPECT_EQ(sizeof(DataNode), thirtyTwoBit ? 6 * wordBytes : 40);
}

// The store library is built from the same header, so the offsets above are
// only half of it: here the library's own writes are read back as raw words
// at the documented places, as a program built against the device's header
// would read them.

template <typename Word> Word word_at(const void *record, size_t word, size_t x86Offset) {
    Word value;
    std::memcpy(&value, static_cast<const char *>(record) + documented_offset(word, x86Offset),
                sizeof value);
    return value;
}

TEST(RecordLayout, StoreWritesTreesAtTheDocumentedWords) {
    if (!architecture_documented())
        GTEST_SKIP() << "no documented layout for this architecture";
    DataNode *scalar = drep_createData();
    ASSERT_NE(scalar, nullptr);
    ASSERT_EQ(drep_initializeScalar(scalar, SCALAR_CUSTOM, "string"), 0);
    EXPECT_EQ(word_at<int32_t>(scalar, 1, 0), DATA_SCALAR);
    EXPECT_EQ(word_at<int32_t>(scalar, 3, 8), SCALAR_CUSTOM);

    DataNode *list = drep_createData();
    ASSERT_EQ(drep_initializeList(list), 0);
    EXPECT_EQ(word_at<int32_t>(list, 1, 0), DATA_LIST);
    EXPECT_EQ(word_at<ListCell *>(list, 3, 8), nullptr);
    ASSERT_EQ(drep_addToList(list, scalar), 0);
    const ListCell *cell = word_at<ListCell *>(list, 3, 8);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(word_at<DataNode *>(cell, 1, 0), scalar);
    EXPECT_EQ(word_at<ListCell *>(cell, 2, 8), nullptr);

    DataNode *hash = drep_createData();
    ASSERT_EQ(drep_initializeHash(hash), 0);
    EXPECT_EQ(word_at<int32_t>(hash, 1, 0), DATA_HASH);
    ASSERT_EQ(drep_setHashValue(hash, list, "ports"), 0);
    const HashEntry *entry = word_at<HashEntry *>(hash, 3, 8);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(word_at<HashEntry *>(entry, 1, 0), nullptr);
    EXPECT_STREQ(word_at<char *>(entry, 2, 8), "ports");
    EXPECT_EQ(word_at<DataNode *>(entry, 3, 16), drep_getHashValue(hash, "ports"));
}

TEST(RecordLayout, StoreFillsExactlySixteenOptionWords) {
    constexpr int32_t guard = 0x4b454c42;
    int32_t words[17];
    for (int32_t &word : words)
        word = guard;
    cli_resetOptions(reinterpret_cast<ClientOptions *>(words));
    EXPECT_EQ(words[16], guard) << "the store wrote past the 64-byte record";
}

} // namespace
