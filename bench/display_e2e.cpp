// Display speed of the real main window, as the user sees it: from a key
// press to the end of the paint that shows the next picture in full, with
// pictures stepped at a human pace and with a key held down, and the peak
// resident memory of a walk through every picture.
//
// Usage (bench/display_e2e.sh runs both under xvfb-run):
//   bench_display_e2e --generate DIR WIDTHxHEIGHT COUNT   photos for the run
//   bench_display_e2e DIR [LABEL]                          measure on DIR's *.jpg and *.dng
// The window is sized to the whole primary screen (no window manager runs
// under Xvfb to maximise it). Keys are posted to the window from a second
// thread at their real times, so a slow viewer builds up a queue of keys
// exactly as it would behind the X server's auto-repeat.
#include "app/ui/BenchProbe.h"
#include "app/ui/MainWindow.h"
#include "platform/AppPaths.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <dlfcn.h>
#include <functional>
#include <thread>
#include <vector>

namespace
{

constexpr qint64 kMs = 1000000;

double ms(qint64 ns)
{
    return double(ns) / 1e6;
}

struct Samples {
    std::vector<double> v;
    void add(double x) { v.push_back(x); }
    double at(double q)
    {
        if (v.empty())
            return 0;
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
    }
    double median() { return at(0.5); }
    double p90() { return at(0.9); }
    double max() { return at(1.0); }
};

long vmHwmKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// ---- test photos ----

// Smooth random field: a coarse grid of random values, scaled up smoothly.
QImage field(QSize size, int cell, QRandomGenerator &rng)
{
    const QSize grid(size.width() / cell + 2, size.height() / cell + 2);
    QImage small(grid, QImage::Format_RGB32);
    for (int y = 0; y < grid.height(); ++y)
        for (int x = 0; x < grid.width(); ++x)
            small.setPixel(x, y, rng.generate() | 0xff000000u);
    return small.scaled(grid * cell, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .copy(QRect(QPoint(), size));
}

// Broad shapes, mid-sized texture, edges and sensor grain: JPEG sizes land
// where camera files do (7-11 MB at quality 90 for 24 megapixels).
QImage photo(QSize size, int seed)
{
    QRandomGenerator rng(quint32(seed) * 7919u + 1);
    const QImage broad = field(size, std::max(8, size.width() / 12), rng);
    const QImage mid = field(size, 24, rng);
    const QImage fine = field(size, 4, rng);
    QImage img(size, QImage::Format_RGB32);
    quint32 lcg = quint32(seed) * 2654435761u + 12345u;
    for (int y = 0; y < size.height(); ++y) {
        const auto *b = reinterpret_cast<const QRgb *>(broad.constScanLine(y));
        const auto *m = reinterpret_cast<const QRgb *>(mid.constScanLine(y));
        const auto *f = reinterpret_cast<const QRgb *>(fine.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            lcg = lcg * 1664525u + 1013904223u;
            const int grain = int((lcg >> 24) & 31) - 16;
            // Detail is mostly in the brightness, as in photos; colour stays broad.
            const int detail = (qGray(m[x]) * 2 + qGray(f[x])) / 3 - 128;
            // Hard edges where the mid texture crosses a level, like outlines.
            const int edge = (qGray(m[x]) & 0x40) ? 16 : -16;
            const int add = detail / 2 + edge + grain;
            out[x] = qRgb(qBound(0, qRed(b[x]) * 3 / 4 + 32 + add, 255),
                          qBound(0, qGreen(b[x]) * 3 / 4 + 32 + add, 255),
                          qBound(0, qBlue(b[x]) * 3 / 4 + 32 + add, 255));
        }
    }
    return img;
}

int generate(const QString &dir, QSize size, int count)
{
    QDir().mkpath(dir);
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < count; i = next++) {
            const QString path = QStringLiteral("%1/IMG_%2.jpg").arg(dir).arg(i + 1, 4, 10, QLatin1Char('0'));
            if (QFileInfo(path).size() > 0)
                continue; // kept from an earlier run
            QImageWriter w(path + QStringLiteral(".part"), "jpeg");
            w.setQuality(90);
            if (!w.write(photo(size, i)) || !QFile::rename(path + QStringLiteral(".part"), path))
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        }
    };
    std::thread helper(work);
    work();
    helper.join();
    qint64 lo = -1, hi = 0, sum = 0;
    for (int i = 0; i < count; ++i) {
        const qint64 s =
            QFileInfo(QStringLiteral("%1/IMG_%2.jpg").arg(dir).arg(i + 1, 4, 10, QLatin1Char('0'))).size();
        lo = lo < 0 ? s : std::min(lo, s);
        hi = std::max(hi, s);
        sum += s;
    }
    std::printf("%d photos %dx%d in %s: %.2f-%.2f MB, mean %.2f MB\n", count, size.width(), size.height(),
                qPrintable(dir), lo / 1048576.0, hi / 1048576.0, sum / 1048576.0 / count);
    return 0;
}

// ---- measuring the window ----

struct Paint {
    QString path;
    qint64 t;
};

// Times at which the window received key presses.
class KeyLog : public QObject
{
public:
    std::vector<qint64> delivered;
    int repeats = 0; // presses the window system marked as auto-repeat
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress) {
            delivered.push_back(BenchProbe::monotonicNs());
            repeats += static_cast<QKeyEvent *>(e)->isAutoRepeat();
        }
        return false;
    }
};

// Runs the event loop until done() holds or the deadline passes; done() is
// checked whenever a picture is painted and when the deadline timer fires.
bool runUntil(BenchProbe &probe, qint64 deadline, const std::function<bool()> &done)
{
    if (done && done())
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto conn = QObject::connect(&probe, &BenchProbe::picturePainted, &loop, [&] {
        if (done && done())
            loop.quit();
    });
    const qint64 left = deadline - BenchProbe::monotonicNs();
    if (left > 0) {
        timer.start(int((left + kMs - 1) / kMs));
        loop.exec();
    }
    QObject::disconnect(conn);
    return done && done();
}

// Presses and releases the Right key. Through the X server (XTest) when it
// is there, so the keys take the user's path into the program: X server,
// event reader, window-system queue. Otherwise posted to the window.
class KeySender
{
public:
    explicit KeySender(QWindow *window) : window_(window)
    {
        void *x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
        void *xtst = dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
        if (!x11 || !xtst)
            return;
        auto open = reinterpret_cast<void *(*)(const char *)>(dlsym(x11, "XOpenDisplay"));
        auto keycode =
            reinterpret_cast<unsigned char (*)(void *, unsigned long)>(dlsym(x11, "XKeysymToKeycode"));
        fake_ =
            reinterpret_cast<int (*)(void *, unsigned, int, unsigned long)>(dlsym(xtst, "XTestFakeKeyEvent"));
        flush_ = reinterpret_cast<int (*)(void *)>(dlsym(x11, "XFlush"));
        if (!open || !keycode || !fake_ || !flush_)
            return;
        display_ = open(nullptr);
        if (display_)
            key_ = keycode(display_, 0xff53); // XK_Right
    }
    bool throughX() const { return display_ && key_; }
    void release()
    {
        if (throughX()) {
            fake_(display_, key_, 0, 0);
            flush_(display_);
        }
    }
    // One sender thread at a time. A held key is a run of presses without
    // releases, then one release, as the X server's own auto-repeat sends it.
    void press(bool repeat, bool held = false)
    {
        if (throughX()) {
            fake_(display_, key_, 1, 0);
            if (!held)
                fake_(display_, key_, 0, 0);
            flush_(display_);
            return;
        }
        QCoreApplication::postEvent(
            window_, new QKeyEvent(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), repeat));
        QCoreApplication::postEvent(
            window_, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), repeat));
    }

private:
    QWindow *window_;
    void *display_ = nullptr;
    unsigned key_ = 0;
    int (*fake_)(void *, unsigned, int, unsigned long) = nullptr;
    int (*flush_)(void *) = nullptr;
};

void heldKey(BenchProbe &probe, KeySender &sender, KeyLog &keys, std::vector<Paint> &paints, int rate,
             double seconds)
{
    const int presses = int(rate * seconds);
    const qint64 period = 1000000000ll / rate;
    const size_t paintsBefore = paints.size();
    const size_t keysBefore = keys.delivered.size();
    const qint64 start = BenchProbe::monotonicNs() + 20 * kMs;
    const qint64 end = start + presses * period;
    std::thread driver([&] {
        for (int k = 0; k < presses; ++k) {
            const qint64 at = start + k * period;
            std::this_thread::sleep_for(
                std::chrono::nanoseconds(std::max<qint64>(0, at - BenchProbe::monotonicNs())));
            sender.press(k > 0, true);
        }
        sender.release();
    });
    // Held, then until the queue of keys has drained and painting stopped.
    runUntil(probe, end, nullptr);
    driver.join();
    qint64 quietSince = BenchProbe::monotonicNs();
    size_t seen = paints.size();
    while (BenchProbe::monotonicNs() - quietSince < 1000 * kMs &&
           BenchProbe::monotonicNs() - end < 30000 * kMs) {
        runUntil(probe, BenchProbe::monotonicNs() + 100 * kMs, nullptr);
        if (paints.size() != seen || keys.delivered.size() - keysBefore < size_t(presses)) {
            seen = paints.size();
            quietSince = BenchProbe::monotonicNs();
        }
    }
    int during = 0, after = 0;
    qint64 lastPaint = end;
    for (size_t i = paintsBefore; i < paints.size(); ++i) {
        if (paints[i].t <= end)
            ++during;
        else
            ++after;
        lastPaint = std::max(lastPaint, paints[i].t);
    }
    int keysDuring = 0;
    for (size_t i = keysBefore; i < keys.delivered.size(); ++i)
        keysDuring += keys.delivered[i] <= end;
    std::printf("  key held at %d/s for %.1f s: %.1f pictures painted per second (%d painted; %d of %d key "
                "presses handled while held)\n",
                rate, seconds, during / (double(end - start) / 1e9), during, keysDuring, presses);
    std::printf("    after release: %d more pictures painted, last one %.0f ms after the last key\n", after,
                ms(lastPaint - end));
    std::printf("    presses marked as auto-repeat so far: %d\n", keys.repeats);
}

int measure(const QString &dir, const QString &label)
{
    QStringList files =
        QDir(dir).entryList({QStringLiteral("*.jpg"), QStringLiteral("*.dng")}, QDir::Files, QDir::Name);
    if (files.size() < 3) {
        std::fprintf(stderr, "need at least 3 JPEG or DNG files in %s\n", qPrintable(dir));
        return 1;
    }
    // Settings of a fresh user whose window covers the screen.
    QTemporaryDir home;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    {
        qputenv("GLIMMERDECK_HOME", home.path().toLocal8Bit());
        QFile ini(AppPaths::settingsPath());
        if (!ini.open(QIODevice::WriteOnly))
            return 1;
        ini.write(QStringLiteral("[Window]\nLeft=0\nTop=0\nWidth=%1\nHeight=%2\n")
                      .arg(screen.width())
                      .arg(screen.height())
                      .toUtf8());
    }

    BenchProbe probe;
    std::vector<Paint> paints;
    QObject::connect(&probe, &BenchProbe::picturePainted, [&](const QString &path, qint64 t) {
        // Repaints of the same picture (a label, an expose) are not new pictures.
        if (paints.empty() || paints.back().path != path)
            paints.push_back({path, t});
    });

    const qint64 t0 = BenchProbe::monotonicNs();
    MainWindow w({dir});
    w.show();
    w.activateWindow();
    if (!runUntil(probe, t0 + 20000 * kMs, [&] { return !paints.empty(); })) {
        std::fprintf(stderr, "no picture was painted\n");
        return 1;
    }
    QWindow *window = w.windowHandle();
    KeyLog keys;
    window->installEventFilter(&keys);
    qint64 shownAt = 0; // end of the display step, before painting
    QObject::connect(&w, &MainWindow::pictureShown, [&] { shownAt = BenchProbe::monotonicNs(); });
    KeySender sender(window);

    std::printf("== %s: %lld photos in %s, window %dx%d on a %dx%d screen, first picture %.0f ms after the "
                "window was created (in process)\n",
                qPrintable(label), (long long)files.size(), qPrintable(dir), w.width(), w.height(),
                screen.width(), screen.height(), ms(paints.front().t - t0));
    std::printf("  keys %s\n", sender.throughX() ? "through the X server (XTest)" : "posted to the window");

    const bool verbose = qEnvironmentVariableIsSet("GD_BENCH_VERBOSE");
    // Human pace: one step every 300 ms, through every picture and back to the first.
    Samples step;
    int late = 0;
    QStringList seen{paints.back().path};
    qint64 next = BenchProbe::monotonicNs() + 300 * kMs;
    for (qsizetype i = 0; i < files.size(); ++i) {
        runUntil(probe, next, nullptr);
        const size_t count = paints.size();
        const qint64 pressed = BenchProbe::monotonicNs();
        sender.press(false);
        if (!runUntil(probe, pressed + 10000 * kMs, [&] { return paints.size() > count; })) {
            std::fprintf(stderr, "step %lld: no picture after 10 s\n", (long long)i);
            return 1;
        }
        const double d = ms(paints.back().t - pressed);
        step.add(d);
        if (verbose && !keys.delivered.empty())
            std::printf(
                "    step %2lld: key reached the window after %5.1f ms, display step %5.1f ms, painted "
                "%5.1f ms later: %6.1f ms after the key  %s\n",
                (long long)i, ms(keys.delivered.back() - pressed), ms(shownAt - keys.delivered.back()),
                ms(paints.back().t - shownAt), d, qPrintable(QFileInfo(paints.back().path).fileName()));
        late += d > 16.7;
        if (!seen.contains(paints.back().path))
            seen << paints.back().path;
        next = pressed + 300 * kMs;
    }
    const long hwmWalk = vmHwmKb();
    std::printf(
        "  next picture at a human pace (every 300 ms, %zu steps): median %.1f ms, p90 %.1f ms, max %.1f "
        "ms; %d steps later than one 60 Hz frame\n",
        step.v.size(), step.median(), step.p90(), step.max(), late);
    std::printf(
        "  peak resident memory after a walk through all %lld (%lld distinct shown): %.0f MB (VmHWM)\n",
        (long long)files.size(), (long long)seen.size(), hwmWalk / 1024.0);

    runUntil(probe, BenchProbe::monotonicNs() + 500 * kMs, nullptr);
    heldKey(probe, sender, keys, paints, 30, 4.0);
    runUntil(probe, BenchProbe::monotonicNs() + 500 * kMs, nullptr);
    heldKey(probe, sender, keys, paints, 100, 3.0);
    std::printf("  peak resident memory over the whole run: %.0f MB (VmHWM)\n", vmHwmKb() / 1024.0);
    std::fflush(stdout);
    w.close();
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 5 && QByteArray(argv[1]) == "--generate") {
        QCoreApplication app(argc, argv);
        const QList<QByteArray> wh = QByteArray(argv[3]).split('x');
        const QSize size(wh.value(0).toInt(), wh.value(1).toInt());
        if (size.isEmpty())
            return 2;
        return generate(QString::fromLocal8Bit(argv[2]), size, QByteArray(argv[4]).toInt());
    }
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: %s DIR [LABEL] | --generate DIR WxH COUNT\n(run by bench/display_e2e.sh)\n",
                     argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QString dir = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    return measure(dir, argc > 2 ? QString::fromLocal8Bit(argv[2]) : dir);
}
