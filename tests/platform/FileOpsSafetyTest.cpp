#include "FileCensus.h"
#include "TwoFileSystems.h"
#include "platform/FileOps.h"
#include "platform/FileOpsHooks.h"
#include "platform/SystemError.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
struct SafetyTest : TwoFileSystems {
    void TearDown() override { SetMoveCopiedHookForTests({}); }
    QStringList everything() const
    {
        QStringList out;
        for (const QString &root : {disk.path(), shm.path()}) {
            QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext())
                out << it.next();
        }
        out.sort();
        return out;
    }
};

// Runs `op`, failing (instead of hanging) when it waits; `release` then
// unblocks it.
FileOpOutcome withoutWaiting(const std::function<FileOpOutcome()> &op, const std::function<void()> &release)
{
    auto done = std::async(std::launch::async, op);
    if (done.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "the operation waited on a file that is not a picture";
        release();
    }
    return done.get();
}
} // namespace

TEST_F(SafetyTest, SomethingElseUnderAPicturesNameIsRefusedAtOnce)
{
    struct Case {
        const char *kind;
        QString named; // what the message names
    };
    const QList<Case> cases = {{"fifo", "FIFO"},
                               {"zero link", "デバイス"},
                               {"folder", "フォルダー"},
                               {"socket-free fifo link", "FIFO"}};
    for (const Case &c : cases) {
        const QString kind = QString::fromLatin1(c.kind);
        const QString src = a + "/" + kind + ".jpg";
        if (kind == "fifo")
            ASSERT_EQ(::mkfifo(QFile::encodeName(src).constData(), 0600), 0);
        else if (kind == "zero link")
            QFile::link("/dev/zero", src);
        else if (kind == "folder")
            QDir().mkpath(src);
        else {
            ::mkfifo(QFile::encodeName(a + "/pipe").constData(), 0600);
            QFile::link(a + "/pipe", src);
        }
        const QString fifo = kind.contains("fifo") ? (kind == "fifo" ? src : a + "/pipe") : QString();
        const auto release = [fifo] {
            if (!fifo.isEmpty())
                ::close(::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK));
        };
        const QStringList before = everything();
        for (const QString &to : {b, m}) {
            for (bool move : {true, false}) {
                SCOPED_TRACE((kind + (move ? " move to " : " copy to ") + to).toStdString());
                const QString target = to + "/out.jpg";
                const FileOpOutcome r = withoutWaiting(
                    [&] {
                        return move ? systemFileOps().moveFile(src, target)
                                    : systemFileOps().copyFile(src, target);
                    },
                    release);
                EXPECT_FALSE(r.ok());
                EXPECT_TRUE(describeFailure(r).contains(c.named)) << describeFailure(r).toStdString();
                EXPECT_EQ(everything(), before);
            }
        }
    }
}

TEST_F(SafetyTest, AFileThatTookTheSourcesNameDuringAMoveIsKept)
{
    const QString src = a + "/IMG_0001.JPG", dst = m + "/IMG_0001.JPG";
    const QByteArray moved = writeUnique(src, 3 * 1024 * 1024);
    const QByteArray newcomer = writeUnique(a + "/incoming", 5000);
    // Another program renames its file onto the source's name during the copy.
    SetMoveCopiedHookForTests([&] {
        ::rename(QFile::encodeName(a + "/incoming").constData(), QFile::encodeName(src).constData());
    });
    const FileOpOutcome r = systemFileOps().moveFile(src, dst);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.detail.isEmpty());
    EXPECT_EQ(readAll(src), newcomer);
    EXPECT_EQ(readAll(dst), moved);
}

TEST_F(SafetyTest, AMoveKilledDuringItsCopyLeavesNoNamedTemporary)
{
    const QString src = a + "/big.jpg", dst = m + "/big.jpg";
    const QByteArray content = writeUnique(src, 48 * 1024 * 1024);
    const pid_t kid = ::fork();
    ASSERT_GE(kid, 0);
    if (kid == 0)
        ::_exit(systemFileOps().moveFile(src, dst).ok() ? 0 : 1);
    // Kill it as soon as it has a file open in the target folder.
    const QString fds = QString("/proc/%1/fd").arg(kid);
    for (int i = 0; i < 20000; ++i) {
        bool writing = false;
        for (const QString &fd : QDir(fds).entryList(QDir::Files | QDir::System))
            writing = writing || QFile::symLinkTarget(fds + "/" + fd).startsWith(m);
        if (writing)
            break;
        ::usleep(100);
    }
    ::kill(kid, SIGKILL);
    ::waitpid(kid, nullptr, 0);
    const QStringList left =
        QDir(m).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const Census census({a, m});
    EXPECT_EQ(census.count(content), 1); // in one place or the other, never lost
    for (const QString &name : left)
        EXPECT_EQ(name, "big.jpg"); // the finished copy, or nothing
    if (!left.isEmpty())
        std::cout << "note: the copy ended before the kill\n";
}

TEST_F(SafetyTest, TemporariesOfFinishedProcessesGoWhenTheirFolderIsNextUsed)
{
    const pid_t gone = ::fork();
    if (gone == 0)
        ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const QString dead = b + QString("/.gd-%1-abc.part").arg(gone);
    const QString mine = b + QString("/.gd-%1-def.part").arg(::getpid());
    const QString other = b + "/.gd-notes.txt";
    for (const QString &f : {dead, mine, other})
        writeUnique(f);
    writeUnique(a + "/p.jpg");
    ASSERT_TRUE(systemFileOps().copyFile(a + "/p.jpg", b + "/p.jpg").ok());
    EXPECT_FALSE(QFileInfo::exists(dead));
    EXPECT_TRUE(QFileInfo::exists(mine));
    EXPECT_TRUE(QFileInfo::exists(other));
}

TEST(SystemErrorWords, ReasonsInsideMessagesAreJapanese)
{
    const QRegularExpression latin("[A-Za-z]");
    for (int err : {ENOENT, ENOTDIR, EISDIR, EEXIST, EACCES, EPERM, EROFS, ENOSPC, EDQUOT, ENAMETOOLONG,
                    ELOOP, EXDEV, EIO, EBUSY, EINVAL, EOPNOTSUPP, 4095}) {
        const QString text = SystemErrorText(err);
        EXPECT_FALSE(text.isEmpty()) << err;
        EXPECT_FALSE(text.contains(latin)) << text.toStdString();
    }
    // Through a real failure: a folder where the target's folder should be.
    QTemporaryDir dir;
    writeUnique(dir.path() + "/p.jpg");
    writeUnique(dir.path() + "/file");
    const FileOpOutcome r = systemFileOps().copyFile(dir.path() + "/p.jpg", dir.path() + "/file/p.jpg");
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(describeFailure(r).contains(latin)) << describeFailure(r).toStdString();
}
