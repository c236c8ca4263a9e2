#include <gtest/gtest.h>

#include <cstdlib>

#include "input/buffer_growth.h"

// A 300 KB line read 80 bytes at a time: the usable size moves by the step,
// but the block is replaced only when it doubles (about 13 times), not at
// every step (3,750 copies of a growing line where realloc cannot extend).
TEST(BufferGrowth, StepsByTheUnitWhileTheMemoryDoubles) {
    char *buffer = nullptr;
    size_t capacity = 0;
    size_t allocated = 0;
    int blocks = 0;
    for (int step = 0; step < 3750; ++step) {
        size_t before = allocated;
        ASSERT_TRUE(grow_buffer(&buffer, &capacity, &allocated, 80));
        blocks += allocated != before;
        buffer[capacity - 1] = 'x'; // the whole usable size is there
    }
    EXPECT_EQ(capacity, 300000u);
    EXPECT_LT(allocated, 2 * capacity);
    EXPECT_LE(blocks, 14);
    std::free(buffer);
}
