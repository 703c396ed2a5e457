#include "app/ListOrder.h"

#include "ListRecorders.h"
#include "app/ListOps.h"
#include "common/PictureList.h"

#include <QDateTime>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace
{
PictureList listOf(const QStringList &paths)
{
    PictureList l;
    for (const QString &p : paths)
        l.add(p);
    return l;
}

void setTime(const QString &path, qint64 secs)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::fromSecsSinceEpoch(secs), QFileDevice::FileModificationTime));
}
} // namespace

TEST(PictureListMode, SortedModeOrdersByNameAndDropsOnlyIdenticalPaths)
{
    const QLocale saved;
    for (const QLocale &loc : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                               QLocale(QLocale::Japanese, QLocale::Japan)}) {
        SCOPED_TRACE(loc.name().toStdString());
        QLocale::setDefault(loc);
        PictureList l;
        l.setSorted(true);
        for (const char *p : {"/p/b.jpg", "/p/IMG.JPG", "/p/a.jpg", "/p/img.jpg", "/p/b.jpg", "/p/C.jpg"})
            l.add(p);
        l.setSorted(false);
        // Case is ignored for the order; case variants are both kept, in the
        // order added.
        EXPECT_EQ(l.items(), QStringList({"/p/a.jpg", "/p/b.jpg", "/p/C.jpg", "/p/IMG.JPG", "/p/img.jpg"}));

        // Unsorted mode appends and keeps duplicates; entries already
        // duplicated stay so when sorted again.
        l.add("/p/a.jpg");
        EXPECT_EQ(l.count(), 6);
        l.setSorted(true);
        l.add("/p/a.jpg");
        EXPECT_EQ(l.count(), 6);
        EXPECT_EQ(l.at(0), "/p/a.jpg");
        EXPECT_EQ(l.at(1), "/p/a.jpg");
    }
    QLocale::setDefault(saved);
}

TEST(ListOrders, ReverseOfFiveSwapsAroundTheMiddle)
{
    PictureList l = listOf({"0", "1", "2", "3", "4"});
    ReverseList(l);
    EXPECT_EQ(l.items(), QStringList({"4", "3", "2", "1", "0"}));
}

TEST(ListOrders, RandomIsAUniformPermutation)
{
    std::mt19937_64 rng(7);
    std::map<QString, int> seen;
    const int rounds = 6000;
    for (int r = 0; r < rounds; ++r) {
        PictureList l = listOf({"a", "b", "c"});
        ShuffleList(l, rng);
        QStringList sorted = l.items();
        sorted.sort();
        ASSERT_EQ(sorted, QStringList({"a", "b", "c"}));
        ++seen[l.items().join(',')];
    }
    // All six orders, each near 1000 times (the old n/2+1 swaps are far off).
    ASSERT_EQ(seen.size(), 6u);
    for (const auto &[order, n] : seen)
        EXPECT_NEAR(n, rounds / 6, 150) << order.toStdString();

    // A large list: few pictures stay where they were.
    QStringList big;
    for (int i = 0; i < 1000; ++i)
        big << QString::number(i);
    PictureList l;
    l.replace(big);
    ShuffleList(l, rng);
    int fixed = 0;
    for (int i = 0; i < 1000; ++i)
        fixed += l.at(i) == big[i];
    EXPECT_LT(fixed, 10);
}

TEST(ListOrders, ByDateIsStableAndReportsAVanishedFile)
{
    QTemporaryDir dir;
    const QString d = dir.path() + "/";
    for (const char *n : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"})
        touch(d + n);
    setTime(d + "a.jpg", 3000);
    setTime(d + "b.jpg", 1000);
    setTime(d + "c.jpg", 3000);
    setTime(d + "d.jpg", 1000);
    PictureList l = listOf({d + "c.jpg", d + "a.jpg", d + "d.jpg", d + "b.jpg"});
    const QStringList before = l.items();
    ASSERT_TRUE(SortByDate(l));
    // Equal times keep their list order.
    EXPECT_EQ(l.items(), QStringList({d + "d.jpg", d + "b.jpg", d + "c.jpg", d + "a.jpg"}));

    QFile::remove(d + "d.jpg");
    QString missing;
    PictureList l2;
    l2.replace(before);
    EXPECT_FALSE(SortByDate(l2, &missing));
    EXPECT_EQ(missing, d + "d.jpg");
    EXPECT_EQ(l2.items(), before);

    // Through SortList the user gets a message naming the file, list unchanged.
    ViewerState st;
    RecordingPrompter prompter;
    ListOps ops(st, prompter);
    st.list.replace(before);
    st.PictureIndex = 2;
    EXPECT_EQ(ops.SortList(PlayOrder::Date), ListChange{}); // nothing to show anew
    ASSERT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(prompter.errors[0].contains(d + "d.jpg"));
    EXPECT_EQ(st.list.items(), before);
}

TEST(ListOrders, SortListOnEmptyListDoesNothing)
{
    ViewerState st;
    RecordingPrompter prompter;
    ListOps ops(st, prompter);
    st.PictureIndex = 3;
    for (int order = 1; order <= 4; ++order)
        EXPECT_EQ(ops.SortList(playOrderFrom(order)), ListChange{});
    EXPECT_EQ(st.PictureIndex, 3);

    // An order action makes the order the current one and goes to the first page.
    st.list.replace({"/a", "/C", "/b"});
    EXPECT_EQ(ops.menuSort(PlayOrder::NameReversed), (ListChange{ListChange::Kind::Reordered, 0}));
    EXPECT_EQ(st.SortOrder, PlayOrder::NameReversed);
    EXPECT_EQ(st.list.items(), QStringList({"/C", "/b", "/a"}));
    EXPECT_EQ(st.PictureIndex, 0);
}
