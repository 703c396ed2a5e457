#include "fileops/Transfer.h"

#include "FileCensus.h"
#include "ScriptedPrompter.h"
#include "common/PathUtil.h"
#include "common/PictureList.h"
#include "platform/FileOps.h"
#include "settings/Settings.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace
{
const QString kCopyFailed = QStringLiteral("画像複写に失敗しました。\n\n確認してください。");
const QString kMoveFailed = QStringLiteral("画像移動に失敗しました。\n\n確認してください。");

struct RecordingHooks : TransferHooks {
    QStringList &log;
    bool slideshow = false;
    int waits = 0;
    std::function<void()> order;
    explicit RecordingHooks(QStringList &l) : log(l) {}
    bool slideshowRunning() const override { return slideshow; }
    void Picture() override { log << "Picture"; }
    void ImageCls() override { log << "ImageCls"; }
    void listChanged() override { log << "listChanged"; }
    void applyOrder() override
    {
        log << "applyOrder";
        if (order)
            order();
    }
    void ReturnCheck(bool on) override { log << (on ? "ReturnCheck:1" : "ReturnCheck:0"); }
    void choosingFolder() override { log << "choosingFolder"; }
    void wait(int ms) override
    {
        ++waits;
        log << "wait:" + QString::number(ms);
    }
};

// The real operations, with refusals on demand and a trash folder of our own.
struct TestOps : FileOps {
    QString trash;
    std::function<void()> beforeWrite; // runs as a copy or move begins
    FileOpResult copyFails = FileOpResult::Ok, moveFails = FileOpResult::Ok, trashFails = FileOpResult::Ok;
    int trashed = 0;

    FileOpOutcome copyFile(const QString &s, const QString &t) override
    {
        if (beforeWrite)
            beforeWrite();
        if (copyFails != FileOpResult::Ok)
            return {copyFails, {}};
        return FileOps::copyFile(s, t);
    }
    FileOpOutcome moveFile(const QString &s, const QString &t) override
    {
        if (beforeWrite)
            beforeWrite();
        if (moveFails != FileOpResult::Ok)
            return {moveFails, {}};
        return FileOps::moveFile(s, t);
    }
    FileOpOutcome moveToTrash(const QString &path) override
    {
        if (trashFails != FileOpResult::Ok)
            return {trashFails, QStringLiteral("trash refused")};
        if (!NameTaken(path))
            return {FileOpResult::SourceMissing, {}};
        return FileOps::moveFile(path, trash + "/" + QString::number(++trashed) + "-" + FileNamePart(path));
    }
};

// A picture folder, a target folder, a trash, and the transfer working on them.
struct Desk {
    QTemporaryDir root;
    QString src, dst, trash;
    PictureList list;
    int index = 0;
    Settings settings;
    ScriptedPrompter prompter;
    RecordingHooks hooks{prompter.log};
    TestOps ops;
    Transfer transfer{list, index, settings, prompter, ops, hooks};
    QMap<QByteArray, int> expected; // every user file's content and how often it must exist

    explicit Desk(bool copy = true, const QString &targetFolder = {})
    {
        src = root.path() + "/pictures";
        dst = targetFolder.isEmpty() ? root.path() + "/sorted" : targetFolder;
        trash = root.path() + "/trash";
        for (const QString &p : {src, dst, trash})
            QDir().mkpath(p);
        ops.trash = trash;
        settings.Option.Copy = copy;
        settings.TransferSlots[0].Folder = dst;
        settings.TransferSlots[1].Folder = QStringLiteral("none");
    }
    // A picture in the list.
    QString picture(const QString &name)
    {
        const QString path = src + "/" + name;
        expected[writeUnique(path)] = 1;
        list.add(path);
        return path;
    }
    // A user file that is not in the list.
    QByteArray file(const QString &path)
    {
        const QByteArray data = writeUnique(path, 3000);
        expected[data] = 1;
        return data;
    }
    QStringList names() const
    {
        QStringList out;
        for (const QString &p : list.items())
            out << FileNamePart(p);
        return out;
    }
    QStringList after(int from) const { return prompter.log.mid(from); }
    // Every user file exists as often as expected (once, unless copied),
    // nothing else exists and no temporary is left.
    void expectFilesIntact() const
    {
        QStringList roots{root.path()};
        if (!dst.startsWith(root.path() + "/"))
            roots << dst;
        const Census census(roots);
        int total = 0;
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            EXPECT_EQ(census.count(it.key()), it.value())
                << it.key().left(it.key().indexOf('\n')).toStdString();
            total += it.value();
        }
        EXPECT_EQ(census.files(), total);
        EXPECT_TRUE(census.hidden.isEmpty()) << census.hidden.join(' ').toStdString();
    }
    void copied(const QString &path) { ++expected[readAll(path)]; }
};
} // namespace

TEST(Transfer, SilentCasesDoNothingButForgetTheLastMove)
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
        EXPECT_EQ(d.after(mark), QStringList{"ReturnCheck:0"});
        EXPECT_FALSE(d.transfer.canUndo());
        d.expectFilesIntact();
    }
}

TEST(Transfer, MissingTargetFolderIsReported)
{
    for (const QString &folder : {QStringLiteral("none"), QStringLiteral("/nonexistent/gd-folder")}) {
        Desk d;
        d.settings.TransferSlots[0].Folder = folder;
        d.picture("a.jpg");
        EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Failed);
        EXPECT_EQ(d.prompter.log,
                  QStringList({"beep",
                               QStringLiteral("error: 複写・移動先のフォルダーがありません。\n\n\u3000\u3000"
                                              "複写・移動を中止しました。"),
                               "Picture", "ReturnCheck:0"}));
        EXPECT_EQ(d.prompter.errorCaptions, QStringList{QStringLiteral("エラー")});
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
              QStringList({QStringLiteral("notice: 複写 完了！"), "Picture", "ReturnCheck:0"}));
    EXPECT_EQ(readAll(d.dst + "/c.jpg"), readAll(c));
    EXPECT_FALSE(d.transfer.canUndo());
    d.copied(c);

    d.settings.Option.Copy = false;
    d.index = 1;
    const qsizetype mark = d.prompter.log.size();
    EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
    EXPECT_EQ(d.names(), QStringList({"a.jpg", "c.jpg"}));
    EXPECT_EQ(d.index, 1);
    EXPECT_EQ(d.after(mark), QStringList({"listChanged", QStringLiteral("notice: 移動 完了 ！"), "Picture",
                                          "ReturnCheck:1"}));
    EXPECT_EQ(d.transfer.TransferSource(), b);
    EXPECT_EQ(d.transfer.TransferTarget(), d.dst + "/b.jpg");
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
            EXPECT_EQ(d.transfer.TransferTarget(), d.dst + "/" + c.arrives);
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
                    ? QStringList({"beep", "compare", "ReturnCheck:0"})
                    : QStringList({"beep", "compare", "askNewName", "ReturnCheck:0"});
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
        EXPECT_TRUE(d.prompter.log.contains("Picture"));
        EXPECT_EQ(QFileInfo::exists(a), !yes);
        EXPECT_FALSE(d.transfer.canUndo());
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
    EXPECT_EQ(d.transfer.TransferTarget(), d.dst + "/c.png");
    d.expectFilesIntact();
}

TEST(Transfer, RunTimeFolderIsAskedForEachTime)
{
    Desk d;
    d.settings.TransferSlots[0].Folder = kRunTimeFolder;
    const QString a = d.picture("a.jpg");
    const QString b = d.picture("b.jpg");

    EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Cancelled);
    EXPECT_EQ(d.prompter.log, QStringList({"choosingFolder", "chooseFolder", "Picture", "ReturnCheck:0"}));

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
            EXPECT_TRUE(d.prompter.log.contains("Picture"));
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
    EXPECT_EQ(d.after(mark), QStringList({"applyOrder", "listChanged", "Picture",
                                          QStringLiteral("notice: 復活 完了 ！"), "ReturnCheck:0"}));
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
        d.transfer.ArBitBtnProcess(0);
        EXPECT_EQ(d.prompter.log.last(), "ReturnCheck:0");
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

    const qsizetype mark = d.prompter.log.size();
    EXPECT_EQ(d.transfer.revival(), TransferResult::Failed);
    ASSERT_EQ(d.prompter.errors.size(), 1);
    EXPECT_TRUE(d.prompter.errors[0].startsWith(QStringLiteral("移動を取り消せませんでした。\n\n")));
    EXPECT_TRUE(d.prompter.errors[0].contains(QStringLiteral("同じ名前のファイルがすでにあります。")));
    EXPECT_EQ(d.after(mark).last(), "ReturnCheck:1");
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
        EXPECT_FALSE(d.prompter.log.contains("Picture")); // the callers refresh
        d.expectFilesIntact();
    }

    Desk last;
    last.picture("a.jpg");
    EXPECT_EQ(last.transfer.fDelete(), TransferResult::Deleted);
    EXPECT_EQ(last.prompter.log.mid(1), QStringList({"ImageCls", "listChanged"}));

    Desk showing;
    showing.picture("a.jpg");
    showing.hooks.slideshow = true;
    EXPECT_EQ(showing.transfer.fDelete(), TransferResult::Skipped);
    EXPECT_TRUE(showing.prompter.questions.isEmpty());
}
