// The program run as a user runs it: Qt never takes options after "--",
// and the signals of a log-out or Ctrl+C close it as its close button does.
#include "lists/ListFile.h"

#include "ViewerProgram.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
const QString &kProgram = kViewerProgram;

// The instance folders under the private temporary folder.
QStringList instanceFolders(const QString &tmp)
{
    const QString picture = tmp + QStringLiteral("/glimmerdeck-%1/picture").arg(getuid());
    return QDir(picture).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}
} // namespace

TEST(ProgramExit, SignalsCloseLikeTheCloseButtonAndDoubleDashIsForPaths)
{
    if (!QFileInfo(kProgram).isExecutable())
        GTEST_SKIP() << "the program is not built";
    struct Case {
        int sig;
        bool brokenArchive; // the window, still being built, shows an error box
    };
    for (const Case c :
         {Case{SIGTERM, false}, Case{SIGINT, false}, Case{SIGHUP, false}, Case{SIGTERM, true}}) {
        SCOPED_TRACE(c.sig);
        SCOPED_TRACE(c.brokenArchive);
        QTemporaryDir dir;
        const QString home = dir.filePath("home"), tmp = dir.filePath("tmp"), cwd = dir.filePath("cwd");
        for (const QString &d : {home, tmp, cwd})
            ASSERT_TRUE(QDir().mkpath(d));
        // A folder and a picture whose names Qt would take for its option
        // -platform and the name of a platform plug-in.
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::red);
        ASSERT_TRUE(QDir().mkpath(cwd + "/-platform"));
        ASSERT_TRUE(img.save(cwd + "/-platform/a.png"));
        ASSERT_TRUE(img.save(cwd + "/x.png"));

        QProcess p;
        PrepareViewerProcess(p, home, tmp);
        p.setWorkingDirectory(cwd);
        p.setProcessChannelMode(QProcess::MergedChannels);
        QFile broken(cwd + "/broken.zip");
        ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
        broken.write("PK\x03\x04 this is no archive");
        broken.close();
        QStringList args{"--", "-platform", "x.png"};
        if (c.brokenArchive)
            args << "broken.zip";
        p.start(kProgram, args);
        ASSERT_TRUE(p.waitForStarted());
        // The window is up once its temporary folder exists.
        QElapsedTimer clock;
        clock.start();
        while (instanceFolders(tmp).isEmpty() && p.state() == QProcess::Running && clock.elapsed() < 20000)
            QThread::msleep(20);
        ASSERT_EQ(p.state(), QProcess::Running) << p.readAll().toStdString();
        ASSERT_EQ(instanceFolders(tmp).size(), 1);
        if (c.brokenArchive)
            QThread::msleep(500); // let the error box come up
        ::kill(pid_t(p.processId()), c.sig);
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << p.readAll().toStdString();
        EXPECT_EQ(p.exitCode(), 0);
        // Closed as by its button: settings saved, the temporary folder
        // gone; both arguments were taken as paths (closed while starting,
        // the list was never shown, so it is not in the history).
        EXPECT_TRUE(QFileInfo::exists(home + "/glimmerdeck.ini"));
        EXPECT_TRUE(instanceFolders(tmp).isEmpty());
        if (c.brokenArchive)
            continue;
        QStringList lines;
        ASSERT_TRUE(readListLines(home + "/gd1.lst", lines));
        const QString entry = lines.join('|');
        EXPECT_TRUE(entry.contains("/-platform/a.png")) << entry.toStdString();
        EXPECT_TRUE(entry.contains("/x.png")) << entry.toStdString();
    }
}
