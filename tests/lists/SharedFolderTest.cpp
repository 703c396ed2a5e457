// Several instances sharing one application folder: history and settings
// written at the same moment by four processes lose nothing.
#include "common/ViewerState.h"
#include "lists/History.h"
#include "lists/ListFile.h"
#include "platform/FileLock.h"
#include "settings/IniFile.h"
#include "settings/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace
{
constexpr int kProcesses = 4;
constexpr int kRounds = 15;
const char *const kChildVariable = "GD_SHARED_FOLDER_CHILD";

QStringList listOf(int process, int round)
{
    return {QStringLiteral("/pics/p%1/r%2/a.jpg").arg(process).arg(round),
            QStringLiteral("/pics/p%1/r%2/b.jpg").arg(process).arg(round)};
}
// Sixty distinct lists went in: six entries, none twice, and among those
// of one writer the newer always first.
void checkHistory(const QString &folder)
{
    History history(folder);
    QList<QStringList> entries;
    for (int k = 1; k <= History::kMaxEntries; ++k) {
        QStringList lines;
        ASSERT_TRUE(readListLines(history.filePath(k), lines)) << k;
        entries << lines;
    }
    EXPECT_FALSE(QFile::exists(history.filePath(7)));
    for (int k = 0; k < entries.size(); ++k) {
        EXPECT_EQ(entries[k].size(), 2) << k;
        EXPECT_EQ(entries.count(entries[k]), 1) << k;
    }
    // Each process recorded its rounds in order, so among the entries of one
    // process the newer round always comes first.
    for (int i = 0; i < kProcesses; ++i) {
        int lastRound = kRounds;
        for (const QStringList &e : entries) {
            const QString prefix = QStringLiteral("/pics/p%1/r").arg(i);
            if (!e.value(0).startsWith(prefix))
                continue;
            const int round = e[0].mid(prefix.size()).section('/', 0, 0).toInt();
            EXPECT_LT(round, lastRound) << "process " << i;
            lastRound = round;
        }
    }
}
} // namespace

// Run only as a child of the test below: records this process's lists and
// saves the settings, interleaved, as fast as it can.
TEST(SharedFolder, ChildProcess)
{
    const QStringList arg = qEnvironmentVariable(kChildVariable).split(u'|');
    if (arg.size() != 2)
        GTEST_SKIP() << "runs as a child of SharedFolder.FourProcessesLoseNothing";
    const QString folder = arg[0];
    const int id = arg[1].toInt();
    // Start together.
    while (!QFile::exists(folder + "/go"))
        QThread::usleep(200);
    History history(folder);
    const QString ini = folder + "/glimmerdeck.ini";
    for (int round = 0; round < kRounds; ++round) {
        history.RecordHistory(listOf(id, round));
        // Another writer of the settings file, under the same lock: what it
        // wrote must survive the saves of the others.
        {
            const FileLock lock(FileLock::forFolder(folder));
            IniFile f(ini);
            ASSERT_TRUE(f.load());
            f.setValue("Test", QStringLiteral("child%1").arg(id), QString::number(round));
            ASSERT_TRUE(f.save());
        }
        ViewerState state;
        state.settings.Window.LastDir = QStringLiteral("/from/%1").arg(id);
        ASSERT_TRUE(SettingsStore(ini).save(state.settings, {}, WindowShowState::Normal,
                                            [&](Settings &s) { history.ListCheck(s); }));
    }
}

TEST(SharedFolder, FourProcessesLoseNothing)
{
    if (qEnvironmentVariableIsSet(kChildVariable))
        GTEST_SKIP();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QList<QProcess *> children;
    for (int i = 0; i < kProcesses; ++i) {
        auto *p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kChildVariable, dir.path() + "|" + QString::number(i));
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(), {"--gtest_filter=SharedFolder.ChildProcess"});
        ASSERT_TRUE(p->waitForStarted());
        children << p;
    }
    QFile go(dir.filePath("go"));
    ASSERT_TRUE(go.open(QIODevice::WriteOnly));
    go.close();
    for (QProcess *p : children) {
        EXPECT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardOutput().toStdString();
        delete p;
    }

    checkHistory(dir.path());
    // Every process's final value survived the others' saves, and the
    // stored count matches the files.
    IniFile ini(dir.filePath("glimmerdeck.ini"));
    ASSERT_TRUE(ini.load());
    for (int i = 0; i < kProcesses; ++i)
        EXPECT_EQ(ini.value("Test", QStringLiteral("child%1").arg(i), "missing"),
                  QString::number(kRounds - 1));
    EXPECT_EQ(ini.value("Window", "ListMax", "missing"), "6");
    // No temporary files left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 6 + 2); // + ini, go
}
