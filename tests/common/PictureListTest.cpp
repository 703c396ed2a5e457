#include "common/PictureList.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <iostream>

namespace
{
// The i-th case variant of one name: all sort as equal.
QString variant(int i)
{
    QString name = QStringLiteral("/p/photographsabcdefg.jpg");
    for (int bit = 0; bit < 17; ++bit)
        if (i & (1 << bit))
            name[3 + bit] = name[3 + bit].toUpper();
    return name;
}
} // namespace

TEST(PictureList, ManyNamesThatSortAsEqualAreAllKeptOnceInOneSort)
{
    constexpr int kNames = 50000;
    PictureList list;
    list.setSorted(true);
    QElapsedTimer clock;
    clock.start();
    list.add(QStringLiteral("/p/zebra.jpg"));
    for (int i = 0; i < kNames; ++i)
        list.add(variant(i));
    list.add(QStringLiteral("/p/apple.jpg"));
    ASSERT_EQ(list.count(), kNames + 2);
    // Added again: identical paths are not added twice, in the same batch or later.
    for (int i = 0; i < kNames; i += 7) {
        list.add(variant(i));
        list.add(variant(i));
    }
    EXPECT_EQ(list.count(), kNames + 2);
    std::cout << kNames << " equal-sorting names, added and added again: " << clock.elapsed() << " ms\n";
    EXPECT_EQ(list.at(0), QStringLiteral("/p/apple.jpg"));
    EXPECT_EQ(list.at(kNames + 1), QStringLiteral("/p/zebra.jpg"));
    // Equal names keep the order they came in.
    for (int i = 0; i < kNames; i += 997)
        EXPECT_EQ(list.at(1 + i), variant(i));
}
