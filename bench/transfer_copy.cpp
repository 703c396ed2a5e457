// Cost of the transfer's file operations on a 24 MP-sized picture (9 MB):
// a move on one file system (must be a rename, no copy), a copy and a move
// across file systems (/dev/shm is one of its own here), each beside `cp` /
// `mv` on the same file. Prints medians of repeated runs.
#include "common/PictureList.h"
#include "common/Prompter.h"
#include "decode/PictureCache.h"
#include "fileops/JournalOps.h"
#include "fileops/Transfer.h"
#include "platform/FileOps.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/stat.h>
#include <vector>

// The rename operation has a source file of its own, which may not be in
// this tree yet; the benchmark never calls it.
namespace
{
constexpr qint64 kSize = 9 * 1024 * 1024;

double medianMs(int runs, const std::function<void()> &setUp, const std::function<void()> &work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        if (setUp)
            setUp();
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void run(const QString &program, const QStringList &args)
{
    if (QProcess::execute(program, args) != 0)
        std::printf("%s failed\n", qPrintable(program));
}

ino_t inode(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// The notice stays up for a second; the display step comes after it.
struct NoticePrompter : Prompter {
    void beep() override {}
    void error(const QString &t) override { std::printf("error: %s\n", qPrintable(t)); }
    void info(const QString &) override {}
    bool confirm(const QString &) override { return true; }
    void notice(const QString &) override { QThread::msleep(1000); }
    QString statusText() const override { return {}; }
    void setStatusText(const QString &) override {}
};

struct CacheHooks : TransferHooks {
    PictureCache &cache;
    PictureList &list;
    int &index;
    LoadOptions options;
    double pictureMs = -1;
    CacheHooks(PictureCache &c, PictureList &l, int &i) : cache(c), list(l), index(i) {}
    bool slideshowRunning() const override { return false; }
    // What the viewer does once a transfer returned: show the picture.
    void Picture()
    {
        QElapsedTimer t;
        t.start();
        PictureData p;
        cache.get(list.at(index), options, p);
        pictureMs = t.nsecsElapsed() / 1e6;
    }
    void applyOrder() override {}
};

void must(const FileOpOutcome &o)
{
    if (!o.ok())
        std::printf("failed: %s\n", qPrintable(describeFailure(o)));
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
    QTemporaryDir disk(QStringLiteral(GD_BUILD_DIR) + "/bench_transfer_XXXXXX");
    QTemporaryDir shm(QStringLiteral("/dev/shm/bench_transfer_XXXXXX"));
    const QString d = disk.path(), m = shm.path();
    QDir().mkpath(d + "/a");
    QDir().mkpath(d + "/b");

    QByteArray data(kSize, Qt::Uninitialized);
    QRandomGenerator rng(42);
    rng.fillRange(reinterpret_cast<quint32 *>(data.data()), data.size() / 4);
    for (const QString &p : {d + "/a/p.jpg", m + "/p.jpg"}) {
        QFile f(p);
        f.open(QIODevice::WriteOnly);
        f.write(data);
    }
    std::printf("9 MB picture; disk folder %s (same file system as the build), other file system %s\n",
                qPrintable(d), qPrintable(m));
    FileOps &ops = systemFileOps();
    const double spawn = medianMs(runs, nullptr, [&] { run("true", {}); });
    std::printf("starting a process (true): %.2f ms, included in the cp, sync and mv figures\n", spawn);

    // One file system: back and forth between two folders.
    const ino_t before = inode(d + "/a/p.jpg");
    bool there = false;
    const double sameMove = medianMs(runs * 4, nullptr, [&] {
        must(there ? ops.moveFile(d + "/b/p.jpg", d + "/a/p.jpg")
                   : ops.moveFile(d + "/a/p.jpg", d + "/b/p.jpg"));
        there = !there;
    });
    const QString now = there ? d + "/b/p.jpg" : d + "/a/p.jpg";
    std::printf("move on one file system: median %.3f ms; same inode afterwards (no copy): %s\n", sameMove,
                inode(now) == before ? "yes" : "NO");
    if (there)
        must(ops.moveFile(d + "/b/p.jpg", d + "/a/p.jpg"));

    struct Direction {
        const char *name;
        QString from, to;
    };
    const QList<Direction> directions = {{"other file system -> disk", m + "/p.jpg", d + "/b/p.jpg"},
                                         {"disk -> other file system", d + "/a/p.jpg", m + "/q.jpg"}};
    for (const Direction &dir : directions) {
        auto clear = [&] { QFile::remove(dir.to); };
        const double ours = medianMs(runs, clear, [&] { must(ops.copyFile(dir.from, dir.to)); });
        const double cp = medianMs(runs, clear, [&] { run("cp", {dir.from, dir.to}); });
        const double cpSync = medianMs(runs, clear, [&] {
            run("cp", {dir.from, dir.to});
            run("sync", {dir.to});
        });
        clear();
        std::printf(
            "copy %s: ours %.2f ms (not flushed, like cp), cp %.2f ms (ratio %.2f), cp + sync of the file %.2f ms "
            "(ratio %.2f)\n",
            dir.name, ours, cp, ours / cp, cpSync, ours / cpSync);
    }

    // Across file systems a move copies, reads back, then removes the source.
    const QString src = d + "/a/p.jpg", dst = m + "/moved.jpg";
    auto putBack = [&] {
        QFile::remove(dst);
        if (!QFile::exists(src)) {
            QFile f(src);
            f.open(QIODevice::WriteOnly);
            f.write(data);
            f.close();
        }
    };
    const double moveAcross = medianMs(runs, putBack, [&] { must(ops.moveFile(src, dst)); });
    const double mv = medianMs(runs, putBack, [&] { run("mv", {src, dst}); });
    std::printf(
        "move disk -> other file system: ours %.2f ms (copy + verify + remove), mv %.2f ms (ratio %.2f)\n",
        moveAcross, mv, moveAcross / mv);

    // A move of the picture on screen: the next one was decoded ahead while
    // the first was shown, so the display step after the notice finds it ready.
    QDir().mkpath(d + "/pics");
    QDir().mkpath(d + "/sorted");
    PictureList list;
    for (const char *name : {"IMG_0001.jpg", "IMG_0002.jpg"}) {
        QImage img(6000, 4000, QImage::Format_RGB32);
        QPainter p(&img);
        for (int y = 0; y < 4000; y += 40)
            p.fillRect(0, y, 6000, 40, QColor::fromHsv((y / 40 * 7) % 360, 120, 200));
        p.end();
        img.save(d + "/pics/" + name, "JPEG", 90);
        list.add(d + "/pics/" + name);
    }
    int index = 0;
    Settings settings;
    settings.Option.Copy = false;
    settings.TransferSlots[0].Folder = d + "/sorted";
    PictureCache cache;
    NoticePrompter prompter;
    CacheHooks hooks(cache, list, index);
    hooks.options.maxSize = QSize(1920, 1030);
    hooks.Picture();
    const double first = hooks.pictureMs;
    cache.prefetch({list.at(1)}, hooks.options);
    QTemporaryDir appFolder;
    Journal journal(appFolder.path());
    JournalOps journalOps(journal, ops);
    Transfer transfer(list, index, settings, prompter, journalOps, hooks);
    if (transfer.ArBitBtnProcess(0) == TransferResult::Moved)
        hooks.Picture();
    std::printf(
        "24 MP move with the next picture prefetched: first decode %.1f ms; next picture ready %.3f ms after "
        "the notice closed\n",
        first, hooks.pictureMs);
    return 0;
}
