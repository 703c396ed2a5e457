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

TEST(Transfer, UndoWalksBackEveryMoveAndRedoMakesThemAgain)
{
    Desk d(false);
    const QString a = d.picture("a.jpg");
    const QString b = d.picture("b.jpg");
    const QString c = d.picture("c.jpg");
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

    // Each undo shows the picture it brought back, at its place.
    const qsizetype mark = d.prompter.log.size();
    EXPECT_EQ(d.transfer.revival(), TransferResult::Restored);
    EXPECT_EQ(d.names(), QStringList({"a.jpg", "c.jpg"}));
    EXPECT_EQ(d.index, 1);
    EXPECT_EQ(d.after(mark), QStringList({"applyOrder", QStringLiteral("notice: 復活 完了 ！")}));
    EXPECT_EQ(d.transfer.nextUndoText(), QStringLiteral("移動 b.jpg → sorted"));
    EXPECT_EQ(d.transfer.revival(), TransferResult::Restored);
    EXPECT_EQ(d.names(), QStringList({"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(d.index, 1);
    EXPECT_FALSE(d.transfer.canUndo());
    EXPECT_EQ(d.transfer.revival(), TransferResult::Skipped);
    EXPECT_TRUE(QFileInfo::exists(b) && QFileInfo::exists(c) && QFileInfo::exists(a));
    d.expectFilesIntact();

    // Redo replays both moves, oldest first.
    EXPECT_EQ(d.transfer.redo(), TransferResult::Redone);
    EXPECT_EQ(d.transfer.redo(), TransferResult::Redone);
    EXPECT_FALSE(d.transfer.canRedo());
    EXPECT_EQ(d.names(), QStringList{"a.jpg"});
    EXPECT_TRUE(QFileInfo::exists(d.dst + "/b.jpg") && QFileInfo::exists(d.dst + "/c.jpg"));
    d.expectFilesIntact();
}

TEST(Transfer, UndoReversesTheNewestOperationThatStands)
{
    struct Case {
        const char *what;
        std::function<void(Desk &)> setUp;
        bool copyMade; // the second transfer made a copy that the undo trashes
    };
    const QList<Case> cases = {
        {"copy", [](Desk &d) { d.settings.Option.Copy = true; }, true},
        {"failed move", [](Desk &d) { d.ops.moveFails = FileOpResult::NoSpace; }, false},
        {"dialog cancelled", [](Desk &d) { d.file(d.dst + "/b.jpg"); }, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Desk d(false);
        const QString a = d.picture("a.jpg");
        d.picture("b.jpg");
        ASSERT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
        c.setUp(d);
        EXPECT_NE(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
        d.ops.moveFails = FileOpResult::Ok;
        EXPECT_EQ(d.transfer.revival(), TransferResult::Restored);
        if (c.copyMade) {
            // The unchanged copy went to the trash; the move still stands.
            EXPECT_FALSE(QFileInfo::exists(d.dst + "/b.jpg"));
            EXPECT_TRUE(QFileInfo::exists(d.dst + "/a.jpg"));
            EXPECT_TRUE(d.transfer.canUndo());
            d.copied(d.src + "/b.jpg"); // the copy is kept in the trash
        } else {
            EXPECT_TRUE(QFileInfo::exists(a));
            EXPECT_FALSE(QFileInfo::exists(d.dst + "/a.jpg"));
            EXPECT_FALSE(d.transfer.canUndo());
        }
        d.expectFilesIntact();
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
    // Both files are named: the one in the way and the one to go back.
    EXPECT_TRUE(d.prompter.errors[0].startsWith(QStringLiteral("同じ名前のファイルがあるため、元に戻せません。")));
    EXPECT_TRUE(d.prompter.errors[0].contains(a));
    EXPECT_TRUE(d.prompter.errors[0].contains(d.dst + "/a.jpg"));
    EXPECT_TRUE(d.transfer.canUndo()); // the user may try again
    EXPECT_EQ(readAll(a), blocker);
    EXPECT_EQ(d.names(), QStringList{"b.jpg"});
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
