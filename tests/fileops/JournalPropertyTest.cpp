// Nothing is lost: hundreds of random file operations on a temporary tree,
// then undo back to the start, must give every file its name, bytes and
// modification time again; and a group move killed at any moment must leave
// every member exactly once, in one folder, with the journal agreeing.
// GD_JOURNAL_OPS and GD_JOURNAL_KILLS make the runs longer (by hand).
#include "JournalDesk.h"
#include "common/NameParts.h"
#include "common/PathUtil.h"
#include "fileops/FileGroup.h"
#include "fileops/JournalOps.h"
#include "platform/FileTree.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace journal_test;

namespace
{
int fromEnv(const char *name, int fallback)
{
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok && v > 0 ? v : fallback;
}

struct Tree {
    PrivateTrash trash;
    QTemporaryDir app, root;
    QStringList dirs;
    FlakyOps ops;
    std::unique_ptr<Journal> journal;
    std::unique_ptr<JournalOps> jops;

    Tree(QRandomGenerator &rng)
    {
        for (const char *d : {"/a/", "/b/", "/keep/"}) {
            dirs << root.path() + d;
            QDir().mkpath(dirs.last());
        }
        // Shared names across folders make clashes, of pictures and of companions alone.
        for (const QString &d : dirs) {
            for (int k = 0; k < 12; ++k) {
                if (rng.bounded(3) == 0)
                    continue;
                const QString base = d + QStringLiteral("IMG_%1").arg(k, 4, 10, QLatin1Char('0'));
                writeUnique(base + ".JPG", 200 + int(rng.bounded(3000)));
                if (rng.bounded(2))
                    writeUnique(base + ".CR2", 500);
                if (rng.bounded(3) == 0)
                    writeUnique(base + ".CR2.xmp", 100);
                if (rng.bounded(3) == 0)
                    writeUnique(base + ".xmp", 100);
            }
        }
        ::chmod(QFile::encodeName(dirs[0] + "IMG_0001.CR2").constData(), 0444); // one member read-only
        reopen();
    }
    void reopen()
    {
        jops.reset();
        journal = std::make_unique<Journal>(app.path());
        journal->load();
        jops = std::make_unique<JournalOps>(*journal, ops);
        EXPECT_TRUE(jops->recover().isEmpty());
        EXPECT_TRUE(journal->takeDamageReport().isEmpty());
    }
    QStringList pictures() const
    {
        QStringList all;
        for (const QString &d : dirs)
            ForEachFile(d, [&](const QString &n) { all << d + n; });
        all.sort();
        QStringList shown;
        for (const QString &p : HideCompanions(all))
            if (!IsCompanionExt(FileExt(p)))
                shown << p;
        return shown;
    }
};

// One transfer as the viewer makes it, with a random answer to a clash.
void transfer(Tree &t, QRandomGenerator &rng, const QString &picture, bool copy, int &names)
{
    const QStringList group = FileGroupOf(picture);
    QString dst = t.dirs[int(rng.bounded(int(t.dirs.size())))];
    if (dst == FolderPart(picture))
        return;
    auto run = [&](const GroupPlan &plan, JournalCause cause) {
        return copy ? t.jops->copy(plan, cause) : t.jops->move(plan, cause);
    };
    const GroupPlan plan = PlanGroup(group, dst, FileNamePart(picture));
    if (FirstClash(plan) < 0) {
        run(plan, JournalCause::Plain);
        return;
    }
    switch (rng.bounded(5)) {
    case 0: {
        run(NumberedPlan(group, dst, FreeGroupNumber(group, dst, 1000)), JournalCause::Numbered);
        break;
    }
    case 1: {
        const GroupPlan renamed =
            PlanGroup(group, dst, QStringLiteral("N%1").arg(++names) + FileExt(picture));
        if (FirstClash(renamed) < 0)
            run(renamed, JournalCause::NewName);
        break;
    }
    case 2:
        if (t.jops->trash(TakenTargets(plan), JournalCause::TrashTarget).ok())
            run(plan, JournalCause::Plain);
        break;
    case 3:
        t.jops->trash(group, JournalCause::TrashSource);
        break;
    default:
        break; // cancelled
    }
}
} // namespace

TEST(JournalProperty, RandomOperationsUndoneToTheStartLoseNothing)
{
    const int count = fromEnv("GD_JOURNAL_OPS", 300);
    const quint32 seed =
        quint32(fromEnv("GD_JOURNAL_SEED", int(QRandomGenerator::global()->bounded(1 << 30))));
    SCOPED_TRACE("GD_JOURNAL_SEED=" + std::to_string(seed));
    QRandomGenerator rng(seed);
    Tree t(rng);
    int names = 0, done = 0, undos = 0, failures = 0, undoneAtEnds = 0;
    // Runs longer than the journal's bound are cut into rounds, each undone
    // to its own start.
    const int perRound = Journal::kMaxEntries / 2;
    for (int first = 0; first < count; first += perRound) {
        const int last = qMin(count, first + perRound);
        const Snapshot start = snapshot(t.root.path());
        for (int i = first; i < last; ++i) {
            if (i == (first + last) / 2)
                t.reopen(); // a restart in the middle
            const QStringList pictures = t.pictures();
            int r = int(rng.bounded(100));
            if (pictures.size() < 6)
                r = 72 + int(rng.bounded(15)); // few pictures left: bring some back
            const QString picture =
                pictures.isEmpty() ? QString() : pictures[int(rng.bounded(int(pictures.size())))];
            if (picture.isEmpty() && r < 72)
                continue;
            const Snapshot before = snapshot(t.root.path());
            const qint64 lastBefore = t.journal->entries().isEmpty() ? 0 : t.journal->entries().last().id;
            if (r < 10) // the next operations meet a failing member
                t.ops.failAt = t.ops.calls + 1 + int(rng.bounded(4));
            if (r < 30) {
                transfer(t, rng, picture, false, names);
            } else if (r < 45) {
                transfer(t, rng, picture, true, names);
            } else if (r < 57) {
                t.jops->trash(FileGroupOf(picture));
            } else if (r < 72) {
                t.jops->rename(PlanGroup(FileGroupOf(picture), FolderPart(picture),
                                         QStringLiteral("R%1").arg(++names) + FileExt(picture)));
            } else if (r < 87) {
                undos += t.jops->undo().ok();
            } else {
                t.jops->redo();
            }
            // A failed operation leaves the tree as it was and no entry.
            const qint64 lastAfter = t.journal->entries().isEmpty() ? 0 : t.journal->entries().last().id;
            if (r < 72 && lastAfter == lastBefore) {
                ++failures;
                const Snapshot after = snapshot(t.root.path());
                ASSERT_TRUE(after == before) << "step " << i << "\n" << snapshotDiff(after, before);
            } else {
                ++done;
            }
        }
        t.ops.failAt = -1;
        while (t.jops->canUndo()) {
            const JournalStep s = t.jops->undo();
            ASSERT_TRUE(s.ok()) << s.text.toStdString();
            ++undoneAtEnds;
        }
        const Snapshot end = snapshot(t.root.path());
        ASSERT_TRUE(end == start) << snapshotDiff(end, start);
        // The next round starts from here, with nothing left to undo.
        t.reopen();
    }
    std::printf(
        "journal property: %d operations (%d changed the tree, %d left it as it was, %d undos on the way), "
        "%d undone at the ends of the rounds, seed %u\n",
        count, done, failures, undos, undoneAtEnds, seed);
}

TEST(JournalProperty, AGroupMoveKilledAnywhereIsWholeAfterTheNextStart)
{
    struct stat tmpSt, shmSt;
    QTemporaryDir root;
    if (::stat("/dev/shm", &shmSt) != 0 || ::stat(QFile::encodeName(root.path()).constData(), &tmpSt) != 0 ||
        shmSt.st_dev == tmpSt.st_dev)
        GTEST_SKIP() << "/dev/shm is not another file system here";
    PrivateTrash trash;
    const int rounds = fromEnv("GD_JOURNAL_KILLS", 8);
    QRandomGenerator rng(QRandomGenerator::global()->generate());
    qint64 calibrated = 0;
    int finished = 0, rolledBack = 0;
    for (int round = 0; round <= rounds; ++round) {
        QTemporaryDir app, shm(QStringLiteral("/dev/shm/gd-journal-XXXXXX"));
        ASSERT_TRUE(shm.isValid());
        const QString src = root.path() + QStringLiteral("/r%1/").arg(round), dst = shm.path() + "/";
        QDir().mkpath(src);
        QList<QByteArray> contents;
        for (const char *n : {"P.JPG", "P.CR2", "P.CR2.xmp", "P.xmp"})
            contents << writeUnique(src + n, (1 << 20) + int(rng.bounded(1 << 20)));
        const GroupPlan plan = PlanGroup(FileGroupOf(src + "P.JPG"), dst, "P.JPG");

        const qint64 delayUs = round == 0 ? 0 : qint64(rng.bounded(quint32(calibrated * 12 / 10 + 1)));
        QElapsedTimer clock;
        clock.start();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Journal j(app.path());
            j.load();
            JournalOps o(j, systemFileOps());
            ::_exit(o.move(plan).ok() ? 0 : 1);
        }
        if (round > 0) {
            ::usleep(useconds_t(delayUs));
            ::kill(child, SIGKILL);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (round == 0) {
            calibrated = clock.nsecsElapsed() / 1000; // how long a whole move takes here
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }

        Journal j(app.path());
        j.load();
        JournalOps o(j, systemFileOps());
        o.recover();
        const Census census({src, dst});
        QString folder;
        for (const QByteArray &c : contents) {
            ASSERT_EQ(census.count(c), 1)
                << "round " << round << " " << census.where(c).join(' ').toStdString();
            const QString at = FolderPart(census.where(c).first());
            EXPECT_TRUE(folder.isEmpty() || folder == at) << "members in two folders, round " << round;
            folder = at;
        }
        for (const JournalEntry &e : j.entries())
            EXPECT_EQ(e.state, JournalState::Done);
        if (folder == dst) {
            ++finished;
            ASSERT_EQ(j.entries().size(), 1);
            EXPECT_EQ(FolderPart(j.entries().first().members.first().to), dst);
        } else {
            ++rolledBack;
            EXPECT_TRUE(j.entries().isEmpty());
        }
    }
    std::printf("journal kill: %d rounds, a whole move takes %lld us; %d finished, %d rolled back\n", rounds,
                static_cast<long long>(calibrated), finished - 1, rolledBack);
}
