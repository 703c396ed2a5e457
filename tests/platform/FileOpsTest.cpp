#include "platform/FileOps.h"
#include "TwoFileSystems.h"

#include "FileCensus.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace
{
struct FileOpsTest : TwoFileSystems {
    Census census() const { return Census({disk.path(), shm.path()}); }
    static qint64 mtimeNs(const QString &path)
    {
        struct stat st;
        ::stat(QFile::encodeName(path).constData(), &st);
        return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }
    static void setOldTime(const QString &path)
    {
        const struct timespec t[2] = {{1500000000, 123456789}, {1500000000, 123456789}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), t, 0);
    }
};
} // namespace

TEST_F(FileOpsTest, CopyAndMoveKeepContentTimeAndModeOnAndAcrossFileSystems)
{
    struct Case {
        bool move;
        QString from, to;
    };
    // Larger than one copy chunk, so the loops and the read-back run more than once.
    const int size = 3 * 1024 * 1024 + 17;
    const QList<Case> cases = {{false, a, b}, {false, a, m}, {false, m, a},
                               {true, a, b},  {true, a, m},  {true, m, a}};
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(QString("%1 %2 -> %3").arg(c.move ? "move" : "copy", c.from, c.to).toStdString());
        const QString src = c.from + QString("/p%1.jpg").arg(n);
        const QString dst = c.to + QString("/p%1.jpg").arg(n++);
        const QByteArray data = writeUnique(src, size);
        ::chmod(QFile::encodeName(src).constData(), 0640);
        setOldTime(src);
        const FileOpOutcome r =
            c.move ? systemFileOps().moveFile(src, dst) : systemFileOps().copyFile(src, dst);
        ASSERT_TRUE(r.ok()) << r.detail.toStdString();
        EXPECT_EQ(readAll(dst), data);
        EXPECT_EQ(mtimeNs(dst), 1500000000123456789LL);
        struct stat st;
        ::stat(QFile::encodeName(dst).constData(), &st);
        EXPECT_EQ(st.st_mode & 0777, 0640u);
        EXPECT_EQ(QFileInfo::exists(src), !c.move);
        const Census after = census();
        EXPECT_EQ(after.count(data), c.move ? 1 : 2);
        EXPECT_TRUE(after.hidden.isEmpty()) << after.hidden.join(' ').toStdString();
    }
}

TEST_F(FileOpsTest, MoveOnOneFileSystemIsARename)
{
    const QString src = a + "/x.jpg", dst = b + "/x.jpg";
    writeUnique(src);
    auto inode = [](const QString &p) {
        struct stat st;
        return ::stat(QFile::encodeName(p).constData(), &st) == 0 ? st.st_ino : ino_t(0);
    };
    const ino_t before = inode(src);
    ASSERT_TRUE(systemFileOps().moveFile(src, dst).ok());
    EXPECT_EQ(inode(dst), before);
}

TEST_F(FileOpsTest, NothingIsEverReplaced)
{
    // A plain file, and a dangling link that a careless rename would also replace.
    for (const bool danglingLink : {false, true}) {
        for (const QString &to : {b, m}) {
            for (const bool move : {false, true}) {
                SCOPED_TRACE(QString("%1 to %2 link %3").arg(move).arg(to).arg(danglingLink).toStdString());
                const QString src = a + "/same.jpg", dst = to + "/same.jpg";
                QFile::remove(dst);
                const QByteArray mine = writeUnique(src);
                QByteArray theirs;
                if (danglingLink)
                    QFile::link(disk.path() + "/nowhere", dst);
                else
                    theirs = writeUnique(dst, 5000);
                const FileOpOutcome r =
                    move ? systemFileOps().moveFile(src, dst) : systemFileOps().copyFile(src, dst);
                EXPECT_EQ(r.result, FileOpResult::TargetExists);
                EXPECT_EQ(readAll(src), mine);
                if (danglingLink)
                    EXPECT_TRUE(QFileInfo(dst).isSymLink());
                else
                    EXPECT_EQ(readAll(dst), theirs);
                EXPECT_TRUE(census().hidden.isEmpty());
            }
        }
    }
}

TEST_F(FileOpsTest, ReportsWhatIsMissingOrWrong)
{
    writeUnique(a + "/here.jpg");
    struct Case {
        QString src, dst;
        FileOpResult expected;
    };
    const QList<Case> cases = {
        {a + "/gone.jpg", b + "/gone.jpg", FileOpResult::SourceMissing},
        {a + "/here.jpg", disk.path() + "/nofolder/here.jpg", FileOpResult::TargetFolderMissing},
        {a + "/here.jpg", m + "/nofolder/here.jpg", FileOpResult::TargetFolderMissing},
        {a + "/here.jpg", b + "/", FileOpResult::InvalidName},
        {a + "/here.jpg", b + "/..", FileOpResult::InvalidName},
    };
    for (const Case &c : cases) {
        for (const bool move : {false, true}) {
            SCOPED_TRACE((c.dst + (move ? " move" : " copy")).toStdString());
            const FileOpOutcome r =
                move ? systemFileOps().moveFile(c.src, c.dst) : systemFileOps().copyFile(c.src, c.dst);
            EXPECT_EQ(r.result, c.expected);
            EXPECT_FALSE(describeFailure(r).isEmpty());
        }
    }
    EXPECT_TRUE(QFileInfo::exists(a + "/here.jpg"));
    EXPECT_EQ(census().files(), 1);
}

TEST_F(FileOpsTest, AFailedWriteLeavesNoTemporaryAndTheSourceIntact)
{
    // The file-size limit makes every write past 64 KB fail, as a full disk would.
    const QString src = a + "/big.jpg";
    const QByteArray data = writeUnique(src, 1 << 20);
    struct rlimit old;
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileOpOutcome copied = systemFileOps().copyFile(src, b + "/big.jpg");
    const FileOpOutcome movedAcross = systemFileOps().moveFile(src, m + "/big.jpg");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(copied.ok());
    EXPECT_FALSE(movedAcross.ok());
    const Census after = census();
    EXPECT_EQ(after.files(), 1);
    EXPECT_EQ(after.where(data), QStringList{src});
    EXPECT_TRUE(after.hidden.isEmpty());
}

TEST_F(FileOpsTest, FoldersThatMayNotBeWrittenStopTheOperation)
{
    for (const QString &p : {disk.path(), a, b, m})
        openToEveryone(p);
    const QString src = a + "/p.jpg";
    const QByteArray data = writeUnique(src);
    ::chmod(QFile::encodeName(src).constData(), 0666);
    ::chmod(QFile::encodeName(b).constData(), 0555);
    {
        AsOrdinaryUser user;
        if (QFile f(b + "/probe"); f.open(QIODevice::WriteOnly))
            GTEST_SKIP() << "permissions are not enforced here";
        EXPECT_EQ(systemFileOps().copyFile(src, b + "/p.jpg").result, FileOpResult::PermissionDenied);
        EXPECT_EQ(systemFileOps().moveFile(src, b + "/p.jpg").result, FileOpResult::PermissionDenied);
    }
    // Across file systems the source must be removable too, or nothing moves.
    ::chmod(QFile::encodeName(b).constData(), 0777);
    ::chmod(QFile::encodeName(a).constData(), 0555);
    {
        AsOrdinaryUser user;
        EXPECT_EQ(systemFileOps().moveFile(src, m + "/p.jpg").result, FileOpResult::PermissionDenied);
    }
    ::chmod(QFile::encodeName(a).constData(), 0777);
    const Census after = census();
    EXPECT_EQ(after.where(data), QStringList{src});
    EXPECT_EQ(after.files(), 1);
}

TEST_F(FileOpsTest, TrashTakesTheFileAndSaysWhenItIsGone)
{
    QTemporaryDir home; // the trash of these tests, not the user's
    ASSERT_TRUE(home.isValid());
    const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    // The trash lives beside the home folder, on the same file system as the file.
    QTemporaryDir near(home.path() + "/../gd-trash-src-XXXXXX");
    const QString file = near.path() + "/t.jpg";
    const QByteArray data = writeUnique(file);
    const FileOpOutcome r = systemFileOps().moveToTrash(file);
    const FileOpOutcome again = systemFileOps().moveToTrash(file);
    qputenv("XDG_DATA_HOME", oldHome);
    if (oldHome.isNull())
        qunsetenv("XDG_DATA_HOME");

    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(Census({home.path() + "/Trash/files"}).count(data), 1);
    EXPECT_EQ(again.result, FileOpResult::SourceMissing);
}

TEST(FileOpsText, EveryFailureHasItsOwnReason)
{
    QStringList seen;
    for (FileOpResult r :
         {FileOpResult::SourceMissing, FileOpResult::TargetExists, FileOpResult::TargetFolderMissing,
          FileOpResult::PermissionDenied, FileOpResult::ReadOnly, FileOpResult::NoSpace,
          FileOpResult::InvalidName, FileOpResult::Cancelled, FileOpResult::Failed}) {
        const QString text = describeFailure({r, {}});
        EXPECT_FALSE(text.isEmpty());
        EXPECT_FALSE(seen.contains(text));
        seen << text;
    }
    EXPECT_TRUE(describeFailure({FileOpResult::Failed, "Input/output error"}).contains("Input/output error"));
    EXPECT_TRUE(describeFailure({}).isEmpty());
}
