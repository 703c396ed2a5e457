#include "JournalDesk.h"
#include "common/PathUtil.h"
#include "fileops/FileGroup.h"
#include "fileops/JournalOps.h"

#include <gtest/gtest.h>

using namespace journal_test;

struct JournalTest : ::testing::Test {
    PrivateTrash trash;
    QTemporaryDir app;
    QTemporaryDir root;
    QString a = root.path() + "/a/", keep = root.path() + "/keep/";
    FlakyOps ops;
    Journal journal{app.path()};
    JournalOps jops{journal, ops};
    void SetUp() override
    {
        QDir().mkpath(a);
        QDir().mkpath(keep);
        for (const char *n : {"IMG_0042.JPG", "IMG_0042.CR2", "IMG_0042.CR2.xmp", "IMG_0043.JPG"})
            writeUnique(a + n);
        journal.load();
    }
    QStringList group(const QString &name) { return FileGroupOf(a + name); }
};

TEST_F(JournalTest, UndoAndRedoAGroupMoveWithTheirTexts)
{
    const Snapshot start = snapshot(root.path());
    ASSERT_TRUE(jops.move(PlanGroup(group("IMG_0042.JPG"), keep, "IMG_0042.JPG")).ok());
    ASSERT_TRUE(jops.rename(PlanGroup(group("IMG_0043.JPG"), a, "trip.JPG")).ok());
    EXPECT_EQ(jops.nextUndoText(), "名前変更 IMG_0043.JPG → trip.JPG");
    EXPECT_TRUE(jops.undo().ok());
    EXPECT_EQ(jops.nextUndoText(), "移動 IMG_0042.JPG → keep");
    const JournalStep back = jops.undo();
    EXPECT_TRUE(back.ok());
    EXPECT_EQ(back.text, "復活 完了 ！");
    EXPECT_EQ(back.appeared.first(), a + "IMG_0042.JPG");
    EXPECT_EQ(snapshot(root.path()), start);
    EXPECT_FALSE(jops.canUndo());

    EXPECT_EQ(jops.nextRedoText(), "移動 IMG_0042.JPG → keep");
    EXPECT_TRUE(jops.redo().ok());
    EXPECT_TRUE(QFile::exists(keep + "IMG_0042.CR2.xmp"));
    // A new operation ends redo.
    ASSERT_TRUE(jops.copy(PlanGroup(group("IMG_0043.JPG"), keep, "IMG_0043.JPG")).ok());
    EXPECT_FALSE(jops.canRedo());
}

TEST_F(JournalTest, ATakenNameStopsTheUndoAndTheEntryStays)
{
    ASSERT_TRUE(jops.move(PlanGroup(group("IMG_0042.JPG"), keep, "IMG_0042.JPG")).ok());
    writeUnique(a + "IMG_0042.CR2", 7); // a new file under an old member's name
    const Snapshot blocked = snapshot(root.path());
    const JournalStep s = jops.undo();
    EXPECT_EQ(s.status, JournalStep::Status::Blocked);
    EXPECT_TRUE(s.text.contains(a + "IMG_0042.CR2") && s.text.contains(keep + "IMG_0042.CR2"))
        << s.text.toStdString();
    EXPECT_EQ(snapshot(root.path()), blocked);
    EXPECT_TRUE(jops.canUndo());
    EXPECT_FALSE(jops.whyNotReversible(journal.entries().last()).isEmpty());
}

TEST_F(JournalTest, ACopyGoesToTheTrashOnlyWhileUnchanged)
{
    ASSERT_TRUE(jops.copy(PlanGroup(group("IMG_0043.JPG"), keep, "IMG_0043.JPG")).ok());
    writeFile(keep + "IMG_0043.JPG", "edited since");
    const JournalStep kept = jops.undo();
    EXPECT_EQ(kept.status, JournalStep::Status::Blocked);
    EXPECT_TRUE(kept.text.contains("変更")) << kept.text.toStdString();
    EXPECT_EQ(readAll(keep + "IMG_0043.JPG"), "edited since");

    QFile::remove(keep + "IMG_0043.JPG");
    ASSERT_TRUE(jops.copy(PlanGroup(group("IMG_0043.JPG"), keep, "IMG_0043.JPG")).ok());
    const QByteArray bytes = readAll(keep + "IMG_0043.JPG");
    EXPECT_TRUE(jops.undo().ok());
    EXPECT_FALSE(QFile::exists(keep + "IMG_0043.JPG"));
    EXPECT_EQ(Census({trash.files()}).count(bytes), 1);
    EXPECT_TRUE(jops.redo().ok()); // back from the trash
    EXPECT_EQ(readAll(keep + "IMG_0043.JPG"), bytes);
    EXPECT_EQ(Census({trash.files()}).count(bytes), 0);
}

TEST_F(JournalTest, UndoDownToAnEntryStopsAtTheFirstThatCannotBeReversed)
{
    ASSERT_TRUE(jops.move(PlanGroup(group("IMG_0042.JPG"), keep, "IMG_0042.JPG")).ok());
    const qint64 first = jops.lastId();
    ASSERT_TRUE(jops.trash(group("IMG_0043.JPG")).ok());
    ASSERT_TRUE(jops.rename(PlanGroup(FileGroupOf(keep + "IMG_0042.JPG"), keep, "k.JPG")).ok());
    writeUnique(a + "IMG_0043.JPG", 5); // blocks the restore of the trashed picture
    const QList<JournalStep> steps = jops.undoDownTo(first);
    ASSERT_EQ(steps.size(), 2);
    EXPECT_TRUE(steps[0].ok());
    EXPECT_EQ(steps[1].status, JournalStep::Status::Blocked);
    EXPECT_EQ(jops.nextUndoText(), "削除 IMG_0043.JPG");
    QFile::remove(a + "IMG_0043.JPG");
    EXPECT_EQ(jops.undoDownTo(first).size(), 2);
    EXPECT_FALSE(jops.canUndo());
}

TEST_F(JournalTest, DamagedLinesAreSkippedAndReportedOnce)
{
    ASSERT_TRUE(jops.move(PlanGroup(group("IMG_0042.JPG"), keep, "IMG_0042.JPG")).ok());
    {
        QFile f(journal.path());
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("{\"id\":\"99\",\"kind\":\"warp\"}\n\x01\x02garbage\n{\"id\":\"5\",\"sta"); // cut by a crash
    }
    Journal again(app.path());
    again.load();
    EXPECT_EQ(again.entries().size(), 1);
    EXPECT_TRUE(again.takeDamageReport().contains("3 行"));
    EXPECT_TRUE(again.takeDamageReport().isEmpty());
    JournalOps more(again, ops);
    ASSERT_TRUE(more.rename(PlanGroup(group("IMG_0043.JPG"), a, "x.JPG")).ok());
    Journal third(app.path());
    third.load();
    EXPECT_EQ(third.entries().size(), 2);
    EXPECT_TRUE(third.takeDamageReport().isEmpty());
}

TEST_F(JournalTest, TwoViewersOnOneFolderKeepEachOthersEntries)
{
    Journal other(app.path());
    other.load();
    JournalOps otherOps(other, ops);
    ASSERT_TRUE(jops.rename(PlanGroup(group("IMG_0042.JPG"), a, "mine.JPG")).ok());
    ASSERT_TRUE(otherOps.rename(PlanGroup(group("IMG_0043.JPG"), a, "theirs.JPG")).ok());
    EXPECT_TRUE(jops.trash({}).ok()); // nothing asked, nothing written
    ASSERT_TRUE(journal.compact()); // written from our view, which lacks theirs
    Journal next(app.path());
    next.load();
    ASSERT_EQ(next.entries().size(), 2);
    EXPECT_NE(next.entries()[0].id, next.entries()[1].id);
    EXPECT_EQ(FileNamePart(next.entries()[0].members[0].to), "mine.JPG");
    EXPECT_EQ(FileNamePart(next.entries()[1].members[0].to), "theirs.JPG");
}

TEST_F(JournalTest, KeepsTheLastThousandEntries)
{
    QByteArray lines;
    for (int i = 1; i <= Journal::kMaxEntries + 20; ++i) {
        JournalEntry e;
        e.id = i;
        e.time = QDateTime::currentDateTimeUtc();
        e.state = JournalState::Done;
        e.members << JournalMember{a + "x", a + "y", {}, {}, {}};
        lines += JournalLine(e);
    }
    writeFile(journal.path(), lines);
    Journal again(app.path());
    again.load();
    EXPECT_EQ(again.entries().size(), Journal::kMaxEntries);
    EXPECT_EQ(again.entries().first().id, 21);
    EXPECT_TRUE(again.takeDamageReport().isEmpty());
    // The file was cut down too, and a new entry keeps the bound.
    JournalOps more(again, ops);
    ASSERT_TRUE(more.rename(PlanGroup(group("IMG_0043.JPG"), a, "x.JPG")).ok());
    EXPECT_EQ(again.entries().size(), Journal::kMaxEntries);
    Journal third(app.path());
    third.load();
    EXPECT_EQ(third.entries().size(), Journal::kMaxEntries);
    EXPECT_EQ(third.entries().last().members.first().to, a + "x.JPG");
}

TEST_F(JournalTest, ACrashMidwayIsRolledBackOrFinishedByTheDisk)
{
    const Snapshot start = snapshot(root.path());
    const QStringList members = group("IMG_0042.JPG");
    // Half the group moved, then the viewer died.
    JournalEntry e;
    e.kind = JournalKind::Move;
    for (const GroupStep &s : PlanGroup(members, keep, "IMG_0042.JPG"))
        e.members << JournalMember{s.from, s.to, {}, {}, {}};
    journal.begin(e);
    ASSERT_TRUE(ops.moveFile(members[0], keep + "IMG_0042.JPG").ok());
    ASSERT_TRUE(ops.copyFile(members[1], keep + "IMG_0042.CR2").ok()); // copied, source not yet removed

    Journal next(app.path());
    next.load();
    JournalOps after(next, ops);
    const QStringList texts = after.recover();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].contains("元に戻しました")) << texts[0].toStdString();
    EXPECT_EQ(snapshot(root.path()), start);
    EXPECT_TRUE(next.entries().isEmpty());

    // All members arrived before the crash: the move is finished.
    const qint64 id = next.begin(e);
    for (const GroupStep &s : PlanGroup(members, keep, "IMG_0042.JPG"))
        ASSERT_TRUE(ops.moveFile(s.from, s.to).ok());
    Journal last(app.path());
    last.load();
    JournalOps third(last, ops);
    EXPECT_TRUE(third.recover()[0].contains("完了"));
    ASSERT_NE(last.find(id), nullptr);
    EXPECT_EQ(last.find(id)->state, JournalState::Done);
    EXPECT_TRUE(third.undo().ok());
    EXPECT_EQ(snapshot(root.path()), start);
}

TEST_F(JournalTest, AnInterruptedTrashIsFinishedAndCanStillBeUndone)
{
    const Snapshot start = snapshot(root.path());
    const QStringList members = group("IMG_0042.JPG");
    JournalEntry e;
    e.kind = JournalKind::Trash;
    for (const QString &m : members)
        e.members << JournalMember{m, {}, {}, {}, {}};
    e.id = journal.begin(e);
    e.time = journal.find(e.id)->time;
    // The first member reached the trash and was written down; then the crash.
    TrashedFile where;
    ASSERT_TRUE(ops.moveToTrash(members[0], &where).ok());
    e.members[0].to = where.trashedPath;
    e.members[0].infoPath = where.infoPath;
    journal.update(e);

    Journal next(app.path());
    next.load();
    JournalOps after(next, ops);
    ASSERT_EQ(after.recover().size(), 1);
    for (const QString &m : members)
        EXPECT_FALSE(QFile::exists(m));
    EXPECT_EQ(after.nextUndoText(), "削除 IMG_0042.JPG");
    EXPECT_TRUE(after.undo().ok());
    EXPECT_EQ(snapshot(root.path()), start);
}
