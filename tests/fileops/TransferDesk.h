#pragma once
// The transfer's test bench: a picture folder, a target folder and a trash
// in a temporary folder, the transfer working on them, and a record of
// everything it showed or asked.
#include "FileCensus.h"
#include "ScriptedPrompter.h"
#include "common/PathUtil.h"
#include "common/PictureList.h"
#include "fileops/JournalOps.h"
#include "fileops/Transfer.h"
#include "platform/FileOps.h"
#include "settings/Settings.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace transfer_test
{
inline const QString kCopyFailed = QStringLiteral("画像複写に失敗しました。\n\n確認してください。");
inline const QString kMoveFailed = QStringLiteral("画像移動に失敗しました。\n\n確認してください。");

struct RecordingHooks : TransferHooks {
    QStringList &log;
    bool slideshow = false;
    int waits = 0;
    std::function<void()> order;
    explicit RecordingHooks(QStringList &l) : log(l) {}
    bool slideshowRunning() const override { return slideshow; }
    void applyOrder() override
    {
        log << "applyOrder";
        if (order)
            order();
    }
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
    FileOpOutcome moveToTrash(const QString &path, TrashedFile *where = nullptr) override
    {
        if (trashFails != FileOpResult::Ok)
            return {trashFails, QStringLiteral("trash refused")};
        if (!NameTaken(path))
            return {FileOpResult::SourceMissing, {}};
        const QString to = trash + "/" + QString::number(++trashed) + "-" + FileNamePart(path);
        if (where)
            *where = TrashedFile{path, to, {}};
        return FileOps::moveFile(path, to);
    }
    FileOpOutcome restoreFromTrash(const TrashedFile &entry) override
    {
        return FileOps::moveFile(entry.trashedPath, entry.originalPath);
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
    QTemporaryDir appFolder; // the journal's, apart from the user's files
    Journal journal{appFolder.path()};
    JournalOps journalOps{journal, ops};
    Transfer transfer{list, index, settings, prompter, journalOps, hooks};
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
} // namespace transfer_test
