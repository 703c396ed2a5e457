// Large blocks and the readying of a fresh block's pages on another thread:
// the pages are written only as they are, and a block about to go is let go.
#include "platform/LargeBlocks.h"

#include <gtest/gtest.h>
#include <vector>

TEST(LargeBlocks, AWarmedBlockKeepsWhatItHolds)
{
    // Not page-aligned, and ending inside a page: every byte stays.
    std::vector<unsigned char> block(3 * 4096 + 1000);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<unsigned char>(i * 7 + 3);
    {
        PageWarmer warmer(block.data() + 17, block.size() - 17);
        warmer.finish();
        warmer.finish(); // twice is harmless
    }
    for (size_t i = 0; i < block.size(); ++i)
        ASSERT_EQ(block[i], static_cast<unsigned char>(i * 7 + 3)) << i;

    size_t capacity = 0;
    void *big = AllocateLargeBlock(5 << 20, capacity);
    ASSERT_NE(big, nullptr);
    EXPECT_GE(capacity, size_t(5 << 20));
    PageWarmer(big, capacity).finish();
    EXPECT_EQ(static_cast<unsigned char *>(big)[capacity - 1], 0); // fresh memory stays zero
    FreeLargeBlock(big, capacity);
}

TEST(LargeBlocks, AWarmerStoppedEarlyLetsGoAtOnce)
{
    size_t capacity = 0;
    void *big = AllocateLargeBlock(size_t(256) << 20, capacity);
    ASSERT_NE(big, nullptr);
    {
        PageWarmer warmer(big, capacity);
        warmer.stop(); // the block may go from here on: a late write would fault
        FreeLargeBlock(big, capacity);
    }

    PageWarmer nothing(nullptr, 0); // nothing to do, nothing to wait for
    nothing.finish();
}
