// Files named by the settings that are no files (a FIFO, a device) or far
// too large never hold up the start: the window comes up and the memory
// stays small.
#include "ViewerProgram.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
const QString &kProgram = kViewerProgram;

QStringList instanceFolders(const QString &tmp)
{
    const QString picture = tmp + QStringLiteral("/glimmerdeck-%1/picture").arg(getuid());
    return QDir(picture).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

qint64 residentKiB(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return -1;
}

bool makeSparse(const QString &path, qint64 size)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.resize(size);
}
} // namespace

TEST(StartupFiles, AFifoADeviceOrAHugeFileNamedInTheSettingsDoesNotHoldUpTheStart)
{
    if (!QFileInfo(kProgram).isExecutable())
        GTEST_SKIP() << "the program is not built";
    for (const QString rules : {"fifo", "huge"}) {
        SCOPED_TRACE(rules.toStdString());
        QTemporaryDir dir;
        const QString home = dir.filePath("home"), tmp = dir.filePath("tmp"), apps = dir.filePath("apps");
        for (const QString &d : {home, tmp, apps})
            ASSERT_TRUE(QDir().mkpath(d));
        ASSERT_EQ(::mkfifo(QFile::encodeName(apps + "/pipe.desktop").constData(), 0600), 0);
        ASSERT_TRUE(makeSparse(apps + "/huge.desktop", 4ll << 30));
        ASSERT_TRUE(QFile::link("/dev/zero", apps + "/zero.desktop"));
        if (rules == "fifo")
            ASSERT_EQ(::mkfifo(QFile::encodeName(home + "/DCIM_rule.dat").constData(), 0600), 0);
        else
            ASSERT_TRUE(makeSparse(home + "/DCIM_rule.dat", 4ll << 30));
        QFile ini(home + "/glimmerdeck.ini");
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(("[Option]\nAppDir1=" + apps + "/pipe.desktop\nAppDir2=" + apps +
                   "/huge.desktop\nAppDir3=" + apps + "/zero.desktop\n")
                      .toUtf8());
        ini.close();

        QProcess p;
        PrepareViewerProcess(p, home, tmp);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(kProgram, {});
        ASSERT_TRUE(p.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        while (instanceFolders(tmp).isEmpty() && p.state() == QProcess::Running && clock.elapsed() < 20000)
            QThread::msleep(20);
        const bool up = !instanceFolders(tmp).isEmpty();
        const qint64 rss = residentKiB(p.processId());
        ::kill(pid_t(p.processId()), SIGTERM);
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished();
        }
        EXPECT_TRUE(up) << "the window never came up: " << p.readAll().toStdString();
        EXPECT_LT(rss, 1024 * 1024) << "KiB resident";
        // The settings' own files stay as they were.
        struct stat st;
        ASSERT_EQ(::lstat(QFile::encodeName(home + "/DCIM_rule.dat").constData(), &st), 0);
        EXPECT_EQ(rules == "fifo", S_ISFIFO(st.st_mode));
        if (rules == "huge") {
            EXPECT_EQ(st.st_size, 4ll << 30);
        }
    }
}
