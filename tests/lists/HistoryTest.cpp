#include "lists/History.h"

#include "ScriptedPrompter.h"
#include "common/ViewerState.h"
#include "lists/ListFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
struct HistoryTest : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    ViewerState state;
    std::unique_ptr<History> history;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        history = std::make_unique<History>(dir.path());
    }
    // A list of two existing pictures in folder `name`.
    QStringList folder(const QString &name) const
    {
        QDir(dir.path()).mkpath(name);
        QStringList l;
        for (const char *f : {"b.jpg", "a.jpg"}) {
            const QString p = dir.filePath(name + "/" + f);
            QFile file(p);
            file.open(QIODevice::WriteOnly);
            l << p;
        }
        return l;
    }
    QStringList entry(int k) const
    {
        QStringList l;
        readListLines(history->filePath(k), l);
        return l;
    }
    QStringList present() const { return QDir(dir.path()).entryList({"gd*.lst"}, QDir::Files, QDir::Name); }
};
} // namespace

TEST_F(HistoryTest, EqualListMovesToFrontAndSeventhDropsOut)
{
    const QStringList a = folder("A"), b = folder("B");
    EXPECT_EQ(history->RecordHistory(a), 1);
    EXPECT_EQ(history->RecordHistory(a), 1);
    EXPECT_EQ(history->RecordHistory(b), 2);
    EXPECT_EQ(history->RecordHistory(a), 2);
    EXPECT_EQ(entry(1), a);
    EXPECT_EQ(entry(2), b);

    // The same paths in another order are a different list.
    QStringList reordered = a;
    reordered.swapItemsAt(0, 1);
    EXPECT_EQ(history->RecordHistory(reordered), 3);

    for (const char *f : {"C", "D", "E", "F"})
        history->RecordHistory(folder(f));
    EXPECT_EQ(present().size(), 6);
    EXPECT_EQ(entry(1), folder("F"));
    EXPECT_EQ(entry(6), a); // b, the oldest, is gone
    EXPECT_EQ(history->ListCheck(state.settings).size(), 6);
    EXPECT_EQ(state.settings.Window.ListMax, 6);
}

TEST_F(HistoryTest, FilesDeletedByHandAreRenumberedWithoutGaps)
{
    for (const char *f : {"F", "E", "D", "C", "B", "A"})
        history->RecordHistory(folder(f));
    QFile::remove(history->filePath(2));

    const QStringList captions = history->ListCheck(state.settings);
    EXPECT_EQ(state.settings.Window.ListMax, 5);
    EXPECT_EQ(present(), (QStringList{"gd1.lst", "gd2.lst", "gd3.lst", "gd4.lst", "gd5.lst"}));
    const QString base = dir.path() + "/";
    EXPECT_EQ(captions, (QStringList{base + "A/", base + "C/", base + "D/", base + "E/", base + "F/"}));

    // Deleted again after the last check, while the stored count is stale:
    // recording still ends with 1..n and the right order.
    QFile::remove(history->filePath(3));
    EXPECT_EQ(history->RecordHistory(folder("G")), 5);
    EXPECT_EQ(present().size(), 5);
    EXPECT_EQ(entry(1), folder("G"));
    EXPECT_EQ(entry(2), folder("A"));
    EXPECT_EQ(entry(3), folder("C"));
    EXPECT_EQ(entry(5), folder("F"));
}

TEST_F(HistoryTest, ReadingAnEntryLoadsItAndMovesItToTheFront)
{
    const QStringList a = folder("A"), b = folder("B");
    history->RecordHistory(a);
    history->RecordHistory(b);
    state.list.setSorted(true);

    EXPECT_EQ(history->readEntry(2, state.settings, state.list, state.ShortcutRun, prompter),
              History::ReadResult::Loaded);
    EXPECT_EQ(state.list.items(), a); // recorded order, not name order
    EXPECT_EQ(entry(1), a);
    EXPECT_EQ(entry(2), b);
    EXPECT_EQ(state.settings.Window.ListMax, 2);
    EXPECT_TRUE(prompter.errors.isEmpty());

    // A shortcut run reads but never records.
    state.ShortcutRun = true;
    EXPECT_EQ(history->readEntry(2, state.settings, state.list, state.ShortcutRun, prompter),
              History::ReadResult::Loaded);
    EXPECT_EQ(state.list.items(), b);
    EXPECT_EQ(entry(1), a);
}

TEST_F(HistoryTest, VanishedFirstPictureEmptiesTheListAndKeepsTheEntry)
{
    const QStringList a = folder("A"), b = folder("B");
    history->RecordHistory(a);
    history->RecordHistory(b);
    QFile::remove(a.first());

    EXPECT_EQ(history->readEntry(2, state.settings, state.list, state.ShortcutRun, prompter),
              History::ReadResult::NoPicture);
    EXPECT_TRUE(state.list.isEmpty());
    EXPECT_EQ(prompter.errors, QStringList{"指定された場所に画像が存在しません。"});
    EXPECT_EQ(entry(1), a);
}

TEST_F(HistoryTest, VanishedHistoryFileIsDroppedSilently)
{
    history->RecordHistory(folder("A"));
    history->RecordHistory(folder("B"));
    history->RecordHistory(folder("C"));
    state.list.add("/kept.jpg");
    QFile::remove(history->filePath(2));

    EXPECT_EQ(history->readEntry(2, state.settings, state.list, state.ShortcutRun, prompter),
              History::ReadResult::Vanished);
    EXPECT_EQ(state.settings.Window.ListMax, 2);
    EXPECT_EQ(present(), (QStringList{"gd1.lst", "gd2.lst"}));
    EXPECT_EQ(state.list.items(), QStringList{"/kept.jpg"});
    EXPECT_TRUE(prompter.errors.isEmpty());
}

TEST_F(HistoryTest, ClearAsksFirst)
{
    history->RecordHistory(folder("A"));
    history->RecordHistory(folder("B"));
    state.settings.Window.ListMax = 2;

    prompter.answer = false;
    EXPECT_FALSE(history->clear(state.settings, prompter));
    EXPECT_EQ(present().size(), 2);

    prompter.answer = true;
    EXPECT_TRUE(history->clear(state.settings, prompter));
    EXPECT_EQ(prompter.questions.last(), "履歴のリストを消去してもよいですか？");
    EXPECT_TRUE(present().isEmpty());
    EXPECT_EQ(state.settings.Window.ListMax, 0);
    EXPECT_TRUE(history->ListCheck(state.settings).isEmpty());
}

TEST_F(HistoryTest, UnwritableFolderLeavesHistoryEmpty)
{
    History nowhere(dir.filePath("no/such/folder"));
    EXPECT_EQ(nowhere.RecordHistory(folder("A")), 0);
    EXPECT_TRUE(nowhere.ListCheck(state.settings).isEmpty());
}

// A file name may hold CR or LF; written raw it split the entry into bogus
// lines ("指定された場所に画像が存在しません。" when read back).
TEST_F(HistoryTest, PathsWithLineBreaksStayOutOfTheFiles)
{
    QStringList list = folder("A");
    for (const char *name : {"cr\rname.jpg", "lf\nname.jpg", "both\r\n.jpg"}) {
        const QString p = dir.filePath(QString("A/") + name);
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name;
        list.insert(1, p);
    }
    const QStringList storable = {list.first(), list.last()};

    EXPECT_EQ(history->RecordHistory(list), 1);
    EXPECT_EQ(entry(1), storable);
    // The same list again is the same entry, not a second one.
    EXPECT_EQ(history->RecordHistory(list), 1);
    EXPECT_EQ(history->readEntry(1, state.settings, state.list, false, prompter),
              History::ReadResult::Loaded);
    EXPECT_EQ(state.list.items(), storable);
    EXPECT_TRUE(prompter.errors.isEmpty());

    // Nothing left to store: nothing recorded.
    const QString only = dir.filePath("A/lf\nname.jpg");
    EXPECT_EQ(history->RecordHistory({only}), 1);

    // A list file leaves them out the same way.
    const QString lst = dir.filePath("saved.lst");
    ASSERT_TRUE(writeListFile(lst, list));
    QStringList lines;
    ASSERT_TRUE(readListLines(lst, lines));
    EXPECT_EQ(lines, QStringList{kListHeader} + storable);
}
