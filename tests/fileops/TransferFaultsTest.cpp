#include "TransferDesk.h"

using namespace transfer_test;

TEST(Transfer, RefusalsAreReportedWithTheirReasonAndChangeNothing)
{
    for (const FileOpResult why :
         {FileOpResult::NoSpace, FileOpResult::PermissionDenied, FileOpResult::ReadOnly}) {
        for (const bool copy : {true, false}) {
            Desk d(copy);
            d.picture("a.jpg");
            d.picture("b.jpg");
            d.index = 1;
            (copy ? d.ops.copyFails : d.ops.moveFails) = why;
            EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Failed);
            EXPECT_EQ(d.prompter.log.first(), "beep");
            EXPECT_EQ(d.prompter.errors,
                      QStringList{(copy ? kCopyFailed : kMoveFailed) + "\n\n" + describeFailure({why, {}})});
            EXPECT_EQ(d.prompter.errorCaptions, QStringList{QStringLiteral("エラー")});
            EXPECT_TRUE(d.prompter.notices.isEmpty());
            EXPECT_EQ(d.names(), QStringList({"a.jpg", "b.jpg"}));
            EXPECT_EQ(d.index, 1);
            EXPECT_FALSE(d.transfer.canUndo());
            d.expectFilesIntact();
        }
    }
}

TEST(Transfer, AVanishedPictureIsReportedAndDropped)
{
    for (const bool copy : {true, false}) {
        for (const bool duringTheTransfer : {false, true}) {
            Desk d(copy);
            d.picture("a.jpg");
            const QString b = d.picture("b.jpg");
            d.expected.remove(readAll(b));
            if (duringTheTransfer)
                d.ops.beforeWrite = [&] { QFile::remove(b); };
            else
                QFile::remove(b);
            d.index = 1;
            EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Failed);
            EXPECT_EQ(d.prompter.errors, QStringList{(copy ? kCopyFailed : kMoveFailed) +
                                                     QStringLiteral("\n\n元のファイルが見つかりません。")});
            EXPECT_EQ(d.names(), QStringList{"a.jpg"});
            d.expectFilesIntact();
        }
    }
}

TEST(Transfer, ANameTakenMeanwhileIsNeverReplaced)
{
    for (const bool copy : {true, false}) {
        Desk d(copy);
        d.picture("a.jpg");
        QByteArray theirs;
        d.ops.beforeWrite = [&] { theirs = d.file(d.dst + "/a.jpg"); };
        EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Failed);
        EXPECT_EQ(d.prompter.errors, QStringList{(copy ? kCopyFailed : kMoveFailed) +
                                                 QStringLiteral("\n\n同じ名前のファイルがすでにあります。")});
        EXPECT_EQ(readAll(d.dst + "/a.jpg"), theirs);
        EXPECT_EQ(d.list.count(), 1);
        d.expectFilesIntact();
    }
}

TEST(Transfer, MoveToAnotherFileSystemAndBack)
{
    QTemporaryDir shm(QStringLiteral("/dev/shm/gd-transfer-XXXXXX"));
    ASSERT_TRUE(shm.isValid());
    Desk d(false, shm.path());
    const QString a = d.picture("a.jpg");
    const QByteArray data = readAll(a);
    EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
    EXPECT_EQ(readAll(shm.path() + "/a.jpg"), data);
    EXPECT_FALSE(QFileInfo::exists(a));
    d.expectFilesIntact();
    EXPECT_EQ(d.transfer.revival(), TransferResult::Restored);
    EXPECT_EQ(readAll(a), data);
    EXPECT_EQ(d.names(), QStringList{"a.jpg"});
    d.expectFilesIntact();
}

TEST(Transfer, AFolderThatMayNotBeWrittenStopsTheMove)
{
    Desk d(false);
    for (const QString &p : {d.root.path(), d.src, d.dst})
        openToEveryone(p);
    const QString a = d.picture("a.jpg");
    ::chmod(QFile::encodeName(d.dst).constData(), 0555);
    AsOrdinaryUser user;
    if (QFile f(d.dst + "/probe"); f.open(QIODevice::WriteOnly))
        GTEST_SKIP() << "permissions are not enforced here";
    EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Failed);
    EXPECT_EQ(d.prompter.errors,
              QStringList{kMoveFailed + QStringLiteral("\n\nアクセスが許可されていません。")});
    EXPECT_EQ(d.list.count(), 1);
    d.expectFilesIntact();
}

TEST(Transfer, UndoPutsTheMovedPictureBackAtItsPlace)
{
    Desk d(false);
    const QString a = d.picture("a.jpg");
    const QString b = d.picture("b.jpg");
    d.picture("c.jpg");
    // The viewer's order step: name order, back to the first picture.
    d.hooks.order = [&] {
        QStringList items = d.list.items();
        PictureList::sortByName(items);
        d.list.replace(items);
        d.index = 0;
    };
    d.index = 1;
    ASSERT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
    ASSERT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved); // c goes too
    EXPECT_EQ(d.names(), QStringList{"a.jpg"});

    const qsizetype mark = d.prompter.log.size();
    EXPECT_EQ(d.transfer.revival(), TransferResult::Restored);
    EXPECT_EQ(d.names(), QStringList({"a.jpg", "c.jpg"}));
    EXPECT_EQ(d.index, 1); // where it was before the order step
    EXPECT_EQ(d.after(mark), QStringList({"applyOrder", QStringLiteral("notice: 復活 完了 ！")}));
    // Only the last move can be taken back.
    EXPECT_FALSE(d.transfer.canUndo());
    EXPECT_EQ(d.transfer.revival(), TransferResult::Skipped);
    EXPECT_TRUE(QFileInfo::exists(d.dst + "/b.jpg"));
    EXPECT_FALSE(QFileInfo::exists(b));
    EXPECT_TRUE(QFileInfo::exists(a));
    d.expectFilesIntact();
}

TEST(Transfer, NothingToUndoAfterACopyAFailureOrTheDialog)
{
    const QList<QPair<const char *, std::function<void(Desk &)>>> cases = {
        {"copy", [](Desk &d) { d.settings.Option.Copy = true; }},
        {"failed move", [](Desk &d) { d.ops.moveFails = FileOpResult::NoSpace; }},
        {"dialog", [](Desk &d) { d.file(d.dst + "/b.jpg"); }},
    };
    for (const auto &[name, setUp] : cases) {
        SCOPED_TRACE(name);
        Desk d(false);
        d.picture("a.jpg");
        d.picture("b.jpg");
        ASSERT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
        setUp(d);
        EXPECT_NE(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
        EXPECT_FALSE(d.transfer.canUndo());
        EXPECT_EQ(d.transfer.revival(), TransferResult::Skipped);
        EXPECT_TRUE(QFileInfo::exists(d.dst + "/a.jpg"));
    }
}

TEST(Transfer, UndoThatCannotPutTheFileBackKeepsEverythingAndTheRecord)
{
    Desk d(false);
    const QString a = d.picture("a.jpg");
    d.picture("b.jpg");
    ASSERT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
    const QByteArray blocker = d.file(a); // the old name was taken meanwhile

    EXPECT_EQ(d.transfer.revival(), TransferResult::Failed);
    ASSERT_EQ(d.prompter.errors.size(), 1);
    EXPECT_TRUE(d.prompter.errors[0].startsWith(QStringLiteral("移動を取り消せませんでした。\n\n")));
    EXPECT_TRUE(d.prompter.errors[0].contains(QStringLiteral("同じ名前のファイルがすでにあります。")));
    EXPECT_TRUE(d.transfer.canUndo()); // the user may try again
    EXPECT_EQ(readAll(a), blocker);
    EXPECT_EQ(d.names(), QStringList{"b.jpg"});
    EXPECT_TRUE(d.transfer.canUndo());
    d.expectFilesIntact();

    // Once the obstacle is gone, the same undo works.
    QFile::remove(a);
    d.expected.remove(blocker);
    EXPECT_EQ(d.transfer.revival(), TransferResult::Restored);
    EXPECT_EQ(d.names(), QStringList({"a.jpg", "b.jpg"}));
    d.expectFilesIntact();
}

TEST(Transfer, DeleteAsksAndKeepsTheEntryWhenTheTrashFails)
{
    struct Case {
        const char *what;
        bool yes;
        FileOpResult trash;
        TransferResult result;
    };
    const QList<Case> cases = {
        {"deleted", true, FileOpResult::Ok, TransferResult::Deleted},
        {"not confirmed", false, FileOpResult::Ok, TransferResult::Cancelled},
        {"trash fails", true, FileOpResult::Failed, TransferResult::Failed},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Desk d;
        const QString a = d.picture("a.jpg");
        d.picture("b.jpg");
        d.prompter.answer = c.yes;
        d.ops.trashFails = c.trash;
        EXPECT_EQ(d.transfer.fDelete(), c.result);
        EXPECT_EQ(d.prompter.questions.size(), 1);
        EXPECT_EQ(d.list.count(), c.result == TransferResult::Deleted ? 1 : 2);
        EXPECT_EQ(QFileInfo::exists(a), c.result != TransferResult::Deleted);
        EXPECT_EQ(d.prompter.errors.size(), c.trash == FileOpResult::Ok ? 0 : 1);
        d.expectFilesIntact();
    }

    Desk last;
    last.picture("a.jpg");
    EXPECT_EQ(last.transfer.fDelete(), TransferResult::Deleted);
    EXPECT_TRUE(last.list.isEmpty()); // the viewer clears the screen

    Desk showing;
    showing.picture("a.jpg");
    showing.hooks.slideshow = true;
    EXPECT_EQ(showing.transfer.fDelete(), TransferResult::Skipped);
    EXPECT_TRUE(showing.prompter.questions.isEmpty());
}
