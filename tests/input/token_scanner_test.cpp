#include "input/token_scanner.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
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

// Random texts and random sequences of tokens and remainders give the same
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
            char *mine, *library;
            if (start < 0 && random() % 4 == 0) {
                // The remainder is what an empty separator set would give.
                mine = take_remainder(&scanner);
                library = std::strtok(nullptr, "");
            } else {
                mine = take_token(&scanner, start < 0 ? nullptr : ours.data() + start, separators);
                library = std::strtok(start < 0 ? nullptr : theirs.data() + start, separators);
            }
            ASSERT_EQ(offset_in(ours, mine), offset_in(theirs, library))
                << "round " << round << " step " << step;
            ASSERT_EQ(ours, theirs) << "round " << round << " step " << step;
        }
    }
}

// A parse takes the remainder once per level of a value; scanning it to its
// end each time made deep values cost their depth times their length. Here
// the text runs into a page that cannot be read: only a scan would touch it.
TEST(TokenScanner, TheRemainderIsTakenWithoutScanningIt) {
    long page = sysconf(_SC_PAGESIZE);
    void *mapped = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    ASSERT_EQ(mprotect(static_cast<char *>(mapped) + page, page, PROT_NONE), 0);
    char *text = static_cast<char *>(mapped);
    std::memset(text, 'x', page);
    // Positioned as after a token, without a string function on the text
    // (a sanitizer's strict string checks scan it whole).
    token_scanner scanner = {text};
    EXPECT_EQ(take_remainder(&scanner), text);
    EXPECT_EQ(take_token(&scanner, nullptr, " "), nullptr);
    munmap(mapped, 2 * page);
}

} // namespace
