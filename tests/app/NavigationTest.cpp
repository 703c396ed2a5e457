#include "app/Navigation.h"

#include "common/PathUtil.h"

#include <gtest/gtest.h>

TEST(Navigation, StepIndexByForm)
{
    struct Case {
        uint8_t form;
        int32_t from;
        bool forward;
        int32_t to;
    };
    const Case cases[] = {
        {0, 0, true, 1},   {0, 0, false, -1}, {0, 4, true, 5},    // single page
        {1, 0, true, 2},   {1, 1, true, 2},   {1, 0, false, -2},  // pairs 0+1, 2+3
        {1, 3, false, 2},  {1, -1, true, 0},  {1, -1, false, -2}, // -1 is odd
        {2, 0, true, 1},   {2, 1, true, 3},   {2, 3, false, 1},   // 0 alone, then 1+2
        {2, 0, false, -2}, {2, 2, true, 3},
    };
    for (const Case &c : cases)
        EXPECT_EQ(StepIndex(c.from, c.forward, c.form), c.to)
            << "form " << int(c.form) << " from " << c.from << (c.forward ? " forward" : " back");
}

TEST(Navigation, NormalizeIndexWrapsByForm)
{
    struct Case {
        uint8_t form;
        int n;
        int32_t index;
        int32_t expected;
    };
    const Case cases[] = {
        {0, 3, -1, 2}, {0, 3, -5, 2}, {0, 3, 3, 0},  {0, 3, 1, 1},                 // single page
        {1, 5, -2, 4}, {1, 6, -2, 4}, {1, 5, -1, 0}, {1, 5, 6, 0},                 // 0+1, 2+3, 4
        {2, 6, -2, 5}, {2, 5, -2, 3}, {2, 6, -1, 0}, {2, 6, 7, 0},                 // 0, 1+2, 3+4, 5
        {1, 1, 2, 0},  {2, 1, 1, 0},  {1, 1, -2, 0}, {2, 1, -2, 0}, {1, 2, -2, 0}, // one or two pictures
    };
    for (const Case &c : cases)
        EXPECT_EQ(NormalizeIndex(c.index, c.n, c.form), c.expected)
            << "form " << int(c.form) << " n " << c.n << " index " << c.index;
}

TEST(PathUtil, Helpers)
{
    EXPECT_EQ(WithBackslash(QString()), QString());
    EXPECT_EQ(WithBackslash("/a"), "/a/");
    EXPECT_EQ(WithBackslash("/a/"), "/a/");
    EXPECT_EQ(NumberTag(1), "[001]");
    EXPECT_EQ(NumberTag(42), "[042]");
    EXPECT_EQ(NumberTag(999), "[999]");
    EXPECT_EQ(NumberTag(1000), "[1000]");
    EXPECT_EQ(ReplaceAll("a.b.zip", '.', '_'), "a_b_zip");
    EXPECT_EQ(FileExt("/x.y/photo"), QString());
    EXPECT_EQ(FileExt("/a/photo."), QString());
    EXPECT_EQ(LowerExt("/a/IMG.JPG"), ".jpg");
    EXPECT_EQ(FolderPart("/a/b.jpg"), "/a/");
}
