#include "input/token_scanner.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// Offset of a result in its buffer, -1 for none: comparable across buffers.
long offset_in(const std::vector<char> &buffer, const char *p) {
    return p == nullptr ? -1 : p - buffer.data();
}

TEST(TokenScanner, BeforeAnyTokenThereIsNothingToContinueFrom) {
    token_scanner scanner = {nullptr};
    EXPECT_EQ(take_token(&scanner, nullptr, " "), nullptr);
    EXPECT_EQ(take_remainder(&scanner), nullptr);
}

// Random texts and random sequences of the three operations give the same
// tokens, the same cuts and the same positions as the C library's strtok.
TEST(TokenScanner, BehavesLikeTheCLibraryTokenizer) {
    std::mt19937 random(12345);
    const char alphabet[] = " \t\n={}[]()\"ab";
    const char *separatorSets[] = {" \t\n=", " \t\n={", "\"", "\n", ""};
    for (int round = 0; round < 3000; round++) {
        std::vector<char> ours(1 + random() % 24), theirs;
        for (size_t i = 0; i + 1 < ours.size(); i++)
            ours[i] = alphabet[random() % (sizeof alphabet - 1)];
        ours.back() = '\0';
        theirs = ours;
        token_scanner scanner = {nullptr};
        for (int step = 0; step < 8; step++) {
            const char *separators = separatorSets[random() % 5];
            long start = step == 0 || random() % 3 == 0 ? random() % ours.size() : -1;
            char *mine = take_token(&scanner, start < 0 ? nullptr : ours.data() + start, separators);
            char *library = std::strtok(start < 0 ? nullptr : theirs.data() + start, separators);
            ASSERT_EQ(offset_in(ours, mine), offset_in(theirs, library))
                << "round " << round << " step " << step;
            ASSERT_EQ(ours, theirs) << "round " << round << " step " << step;
        }
    }
}

} // namespace
