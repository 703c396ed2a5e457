#include "TransferDesk.h"

using namespace transfer_test;

TEST(Transfer, SilentCasesDoNothingAndKeepTheLastMove)
{
    const QList<QPair<const char *, std::function<void(Desk &)>>> cases = {
        {"empty list", [](Desk &d) { d.list.clear(); }},
        {"cleared slot", [](Desk &d) { d.settings.TransferSlots[0].Folder.clear(); }},
        {"slideshow", [](Desk &d) { d.hooks.slideshow = true; }},
        {"switch off", [](Desk &d) { d.settings.Option.Open = false; }},
        {"slot past the buttons", [](Desk &d) { d.settings.Option.nButton = 0; }},
    };
    for (const auto &[name, setUp] : cases) {
        SCOPED_TRACE(name);
        Desk d(false);
        d.picture("a.jpg");
        d.picture("b.jpg");
        ASSERT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
        ASSERT_TRUE(d.transfer.canUndo());
        setUp(d);
        const qsizetype mark = d.prompter.log.size();
        EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Skipped);
        EXPECT_TRUE(d.after(mark).isEmpty());
        EXPECT_TRUE(d.transfer.canUndo());
        d.expectFilesIntact();
    }
}

TEST(Transfer, MissingTargetFolderIsReported)
{
    // "none" is what an unbound slot holds; a relative name would depend on
    // where the viewer was started, even when such a folder exists there.
    for (const QString &folder :
         {QStringLiteral("none"), QStringLiteral("/nonexistent/gd-folder"), QStringLiteral("sorted")}) {
        Desk d;
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(d.root.path());
        d.settings.TransferSlots[0].Folder = folder;
        d.picture("a.jpg");
        EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Failed);
        EXPECT_EQ(d.prompter.log,
                  QStringList({"beep",
                               QStringLiteral("error: 複写・移動先のフォルダーがありません。\n\n\u3000\u3000"
                                              "複写・移動を中止しました。")}));
        EXPECT_EQ(d.prompter.errorCaptions, QStringList{QStringLiteral("エラー")});
        QDir::setCurrent(cwd);
        d.expectFilesIntact();
    }
}

TEST(Transfer, CopyShowsTheNextPictureAndMoveTakesTheEntryOut)
{
    Desk d;
    d.picture("a.jpg");
    const QString b = d.picture("b.jpg");
    const QString c = d.picture("c.jpg");

    // Copying the last picture: the index passes the end, the display starts again at the first.
    d.index = 2;
    EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Copied);
    EXPECT_EQ(d.index, 3);
    EXPECT_EQ(d.prompter.log,
              QStringList({QStringLiteral("notice: 複写 完了！")}));
    EXPECT_EQ(readAll(d.dst + "/c.jpg"), readAll(c));
    EXPECT_TRUE(d.transfer.canUndo()); // a copy is undone by trashing it
    d.copied(c);

    d.settings.Option.Copy = false;
    d.index = 1;
    const qsizetype mark = d.prompter.log.size();
    EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
    EXPECT_EQ(d.names(), QStringList({"a.jpg", "c.jpg"}));
    EXPECT_EQ(d.index, 1);
    EXPECT_EQ(d.after(mark), QStringList({QStringLiteral("notice: 移動 完了 ！")}));
    EXPECT_EQ(d.journal.entries().last().members.first().from, b);
    EXPECT_EQ(d.journal.entries().last().members.first().to, d.dst + "/b.jpg");
    EXPECT_FALSE(QFileInfo::exists(b));
    d.expectFilesIntact();
}

TEST(Transfer, MovingTheOnlyPictureEmptiesTheList)
{
    Desk d(false);
    d.picture("a.jpg");
    EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
    EXPECT_TRUE(d.list.isEmpty());
    EXPECT_TRUE(d.transfer.canUndo());
    d.expectFilesIntact();
}

TEST(Transfer, NumberingTakesTheFirstFreeName)
{
    struct Case {
        QString name;
        QStringList taken;
        QString arrives;
        int waits;
        bool copy;
    };
    const QList<Case> cases = {
        {"a.jpg", {"a.jpg"}, "a[001].jpg", 1, true},
        {"a.jpg", {"a.jpg", "a[001].jpg"}, "a[002].jpg", 2, true},
        {"a.jpg", {"a.jpg", "a[001].jpg"}, "a[002].jpg", 2, false},
        {"README", {"README"}, "README[001]", 1, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.arrives.toStdString());
        Desk d(c.copy);
        d.settings.Option.Numbering = true;
        const QString path = d.picture(c.name);
        const QByteArray data = readAll(path);
        for (const QString &t : c.taken)
            d.file(d.dst + "/" + t);
        EXPECT_EQ(d.transfer.ArBitBtnProcess(0), c.copy ? TransferResult::Copied : TransferResult::Moved);
        EXPECT_EQ(d.hooks.waits, c.waits);
        EXPECT_EQ(d.prompter.log.first(), "wait:100");
        EXPECT_EQ(readAll(d.dst + "/" + c.arrives), data);
        EXPECT_TRUE(d.prompter.compared.isEmpty());
        if (c.copy)
            d.copied(path);
        else
            EXPECT_EQ(d.journal.entries().last().members.first().to, d.dst + "/" + c.arrives);
        d.expectFilesIntact();
    }
}

TEST(Transfer, CancelOrNoNewNameChangesNothing)
{
    for (const bool copy : {true, false}) {
        for (const SameNameChoice choice : {SameNameChoice::Cancel, SameNameChoice::Rename}) {
            Desk d(copy);
            const QString a = d.picture("a.jpg");
            d.file(d.dst + "/a.jpg");
            d.prompter.sameAnswers = {choice};
            EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Cancelled);
            const QStringList expectedLog =
                choice == SameNameChoice::Cancel
                    ? QStringList({"beep", "compare"})
                    : QStringList({"beep", "compare", "askNewName"});
            EXPECT_EQ(d.prompter.log, expectedLog);
            EXPECT_EQ(d.prompter.compared.value(0), qMakePair(a, d.dst + "/a.jpg"));
            EXPECT_EQ(d.list.count(), 1);
            d.expectFilesIntact();
        }
    }
}

TEST(Transfer, DeletingTheSourceEndsTheTransfer)
{
    for (const bool yes : {true, false}) {
        Desk d(false);
        const QString a = d.picture("a.jpg");
        d.picture("b.jpg");
        d.file(d.dst + "/a.jpg");
        d.prompter.sameAnswers = {SameNameChoice::DeleteSource};
        d.prompter.answer = yes;
        EXPECT_EQ(d.transfer.ArBitBtnProcess(0), yes ? TransferResult::Deleted : TransferResult::Cancelled);
        EXPECT_EQ(d.names(), yes ? QStringList{"b.jpg"} : QStringList({"a.jpg", "b.jpg"}));
        EXPECT_TRUE(d.prompter.questions.value(0).contains(a));
        EXPECT_EQ(QFileInfo::exists(a), !yes);
        EXPECT_EQ(d.transfer.canUndo(), yes); // the trashed picture can come back
        d.expectFilesIntact(); // the trash is in the census
    }
}

TEST(Transfer, DeletingTheTargetMakesRoomOrEndsWhenTheTrashRefuses)
{
    struct Case {
        const char *what;
        bool copy, yes;
        FileOpResult trash;
        TransferResult result;
    };
    const QList<Case> cases = {
        {"copy", true, true, FileOpResult::Ok, TransferResult::Copied},
        {"move", false, true, FileOpResult::Ok, TransferResult::Moved},
        {"not confirmed", false, false, FileOpResult::Ok, TransferResult::Cancelled},
        {"trash fails, copy", true, true, FileOpResult::Failed, TransferResult::Failed},
        {"trash fails, move", false, true, FileOpResult::PermissionDenied, TransferResult::Failed},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Desk d(c.copy);
        const QString a = d.picture("a.jpg");
        const QByteArray mine = readAll(a);
        const QByteArray theirs = d.file(d.dst + "/a.jpg");
        d.prompter.sameAnswers = {SameNameChoice::DeleteTarget};
        d.prompter.answer = c.yes;
        d.ops.trashFails = c.trash;
        EXPECT_EQ(d.transfer.ArBitBtnProcess(0), c.result);
        const bool transferred = c.result == TransferResult::Copied || c.result == TransferResult::Moved;
        EXPECT_EQ(readAll(d.dst + "/a.jpg"), transferred ? mine : theirs);
        EXPECT_EQ(d.list.count(), c.result == TransferResult::Moved ? 0 : 1);
        if (c.trash != FileOpResult::Ok) {
            ASSERT_EQ(d.prompter.errors.size(), 1);
            EXPECT_TRUE(
                d.prompter.errors[0].startsWith(QStringLiteral("ごみ箱に移動できませんでした。\n\n")));
            EXPECT_TRUE(d.prompter.errors[0].contains(describeFailure({c.trash, "trash refused"})));
        } else {
            EXPECT_TRUE(d.prompter.errors.isEmpty());
        }
        if (c.result == TransferResult::Copied)
            d.copied(a);
        d.expectFilesIntact();
    }
}

TEST(Transfer, ANewNameIsAskedForUntilItIsFree)
{
    Desk d(false);
    const QString a = d.picture("a.jpg");
    const QByteArray data = readAll(a);
    d.file(d.dst + "/a.jpg");
    d.file(d.dst + "/b.jpg");
    d.prompter.sameAnswers = {SameNameChoice::Rename};
    d.prompter.nameAnswers = {"b", "x/y", "c.png"};
    EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
    EXPECT_EQ(d.prompter.namesOffered, QStringList({"a.jpg", "b.jpg", "b.jpg"}));
    ASSERT_EQ(d.prompter.errors.size(), 2);
    EXPECT_EQ(d.prompter.errors[0], QStringLiteral("同名のファイルがありました！"));
    EXPECT_EQ(readAll(d.dst + "/c.png"), data);
    EXPECT_EQ(d.journal.entries().last().members.first().to, d.dst + "/c.png");
    d.expectFilesIntact();
}

TEST(Transfer, RunTimeFolderIsAskedForEachTime)
{
    Desk d;
    d.settings.TransferSlots[0].Folder = kRunTimeFolder;
    const QString a = d.picture("a.jpg");
    const QString b = d.picture("b.jpg");

    EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Cancelled);
    EXPECT_EQ(d.prompter.log, QStringList({"choosingFolder", "chooseFolder"}));

    d.prompter.folderAnswers = {d.dst, d.dst};
    EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Copied);
    EXPECT_EQ(d.settings.TransferSlots[0].ChosenFolder, d.dst + "/");
    EXPECT_EQ(d.settings.TransferSlots[0].Folder, kRunTimeFolder);
    EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Copied);
    EXPECT_EQ(d.prompter.folderStarts.value(2), d.dst + "/"); // starts where the last one went
    d.copied(a);
    d.copied(b);
    d.expectFilesIntact();
}

TEST(Transfer, ThePictureItselfUnderAnotherSpellingIsNeverTrashed)
{
    for (const QString spelling : {"./", "linked folder", "hard link"}) {
        for (SameNameChoice choice : {SameNameChoice::DeleteSource, SameNameChoice::DeleteTarget}) {
            SCOPED_TRACE(spelling.toStdString() +
                         (choice == SameNameChoice::DeleteSource ? " source" : " target"));
            Desk d(false);
            const QString a = d.picture("a.jpg");
            const QByteArray mine = readAll(a);
            if (spelling == "./") {
                d.settings.TransferSlots[0].Folder = d.src + "/./";
            } else if (spelling == "linked folder") {
                QFile::link(d.src, d.root.path() + "/link");
                d.settings.TransferSlots[0].Folder = d.root.path() + "/link";
            } else {
                ASSERT_EQ(
                    ::link(QFile::encodeName(a).constData(), QFile::encodeName(d.dst + "/a.jpg").constData()),
                    0);
            }
            d.prompter.sameAnswers = {choice};
            d.prompter.answer = true;
            EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Failed);
            EXPECT_EQ(d.ops.trashed, 0);
            EXPECT_EQ(readAll(a), mine);
            EXPECT_EQ(d.list.count(), 1);
            ASSERT_EQ(d.prompter.errors.size(), 1);
            EXPECT_TRUE(d.prompter.errors[0].contains(QStringLiteral("元の画像そのもの")));
        }
    }
}

// A fresh account (no data folder yet), started from some other folder: the
// trash choices and Delete put files into the desktop trash under HOME.
TEST(Transfer, TrashChoicesReachTheDesktopTrashOfAFreshHome)
{
    Desk d(false);
    const QString home = d.root.path() + "/home", cwd = d.root.path() + "/cwd";
    QDir().mkpath(home);
    QDir().mkpath(cwd);
    const QByteArray oldHome = qgetenv("HOME"), oldXdg = qgetenv("XDG_DATA_HOME");
    const bool hadXdg = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    const QString oldCwd = QDir::currentPath();
    qputenv("HOME", QFile::encodeName(home));
    qunsetenv("XDG_DATA_HOME");
    QDir::setCurrent(cwd);

    JournalOps realOps{d.journal, systemFileOps()};
    Transfer real{d.list, d.index, d.settings, d.prompter, realOps, d.hooks};
    const QString a = d.picture("a.jpg");
    const QString b = d.picture("b.jpg");
    const QByteArray theirs = d.file(d.dst + "/a.jpg");
    const QByteArray bData = readAll(b);
    d.prompter.sameAnswers = {SameNameChoice::DeleteTarget};
    d.prompter.answer = true;
    d.index = 0;
    const TransferResult moved = real.ArBitBtnProcess(0);
    d.index = 0; // b.jpg now
    const TransferResult deleted = real.fDelete();

    QDir::setCurrent(oldCwd);
    qputenv("HOME", oldHome);
    if (hadXdg)
        qputenv("XDG_DATA_HOME", oldXdg);

    EXPECT_EQ(moved, TransferResult::Moved);
    EXPECT_EQ(deleted, TransferResult::Deleted);
    const QString trash = home + "/.local/share/Trash";
    EXPECT_EQ(readAll(trash + "/files/a.jpg"), theirs);
    EXPECT_EQ(readAll(trash + "/files/b.jpg"), bData);
    EXPECT_TRUE(QFileInfo::exists(trash + "/info/a.jpg.trashinfo"));
    EXPECT_TRUE(QFileInfo::exists(trash + "/info/b.jpg.trashinfo"));
    EXPECT_TRUE(QDir(cwd).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_TRUE(d.prompter.errors.isEmpty()) << d.prompter.errors.join('|').toStdString();
}
