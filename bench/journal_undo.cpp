// Cost of the journal on a sorting run: 50 group moves (a JPEG with its RAW
// and sidecar) into a "keep" folder, each written to the journal before and
// after, then 50 undos, each timed alone; and the same moves without the
// journal for comparison. Prints the median and the slowest step. The
// display's own prefetch after an undo is not part of this figure.
#include "fileops/FileGroup.h"
#include "fileops/JournalOps.h"
#include "platform/FileOps.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{
constexpr int kPictures = 50;

void write(const QString &path, qint64 size)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(QByteArray(size, 'x'));
}

void report(const char *what, std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf("%-34s median %6.2f ms, slowest %6.2f ms, all %7.1f ms\n", what, ms[ms.size() / 2], ms.back(),
                sum);
}

std::vector<double> timed(int n, const std::function<bool(int)> &step)
{
    std::vector<double> ms;
    for (int i = 0; i < n; ++i) {
        QElapsedTimer t;
        t.start();
        if (!step(i))
            std::printf("step %d failed\n", i);
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return ms;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root, appFolder, trashHome;
    qputenv("XDG_DATA_HOME", QFile::encodeName(trashHome.path()));
    const QString src = root.path() + "/day/", keep = root.path() + "/keep/";
    QDir().mkpath(src);
    QDir().mkpath(keep);
    for (int i = 0; i < kPictures; ++i) {
        const QString base = src + QStringLiteral("IMG_%1").arg(i, 4, 10, QLatin1Char('0'));
        write(base + ".JPG", 6 << 20);
        write(base + ".CR2", 25 << 20);
        write(base + ".CR2.xmp", 8 << 10);
    }
    auto picture = [&](const QString &folder, int i) {
        return folder + QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0'));
    };
    FileOps &ops = systemFileOps();

    // Without the journal: the group moves alone, there and back.
    report("group move, no journal", timed(kPictures, [&](int i) {
               return MoveGroup(ops, PlanGroup(FileGroupOf(picture(src, i)), keep,
                                               QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0'))))
                   .ok();
           }));
    timed(kPictures, [&](int i) {
        return MoveGroup(ops, PlanGroup(FileGroupOf(picture(keep, i)), src,
                                        QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0'))))
            .ok();
    });

    Journal journal(appFolder.path());
    journal.load();
    JournalOps jops(journal, ops);
    report("group move through the journal", timed(kPictures, [&](int i) {
               return jops
                   .move(PlanGroup(FileGroupOf(picture(src, i)), keep,
                                   QStringLiteral("IMG_%1.JPG").arg(i, 4, 10, QLatin1Char('0'))))
                   .ok();
           }));
    report("undo (Ctrl+Z), newest first", timed(kPictures, [&](int) { return jops.undo().ok(); }));
    report("redo", timed(kPictures, [&](int) { return jops.redo().ok(); }));
    QElapsedTimer t;
    t.start();
    Journal reread(appFolder.path());
    reread.load();
    std::printf("journal of %lld entries read in %.2f ms\n", static_cast<long long>(reread.entries().size()),
                t.nsecsElapsed() / 1e6);
    return 0;
}
