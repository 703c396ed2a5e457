// Decode speed and memory: full-size against reduced JPEG decodes, cache
// hits, and a walk through a folder of photos with decoding ahead.
// Usage: bench_decode_speed [count of 6000×4000 photos, default 8]
// Pictures are generated in a temporary folder and removed afterwards.
#include "decode/LoadPicture.h"
#include "decode/PictureCache.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace
{

long rssKb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * 4 : -1;
}

// Peak resident size since the last resetPeak() (VmHWM).
long peakRssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Generating the test pictures takes far more memory than viewing them;
// start the peak afresh for each measurement.
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// Smooth shapes, edges and fine grain, like a photo: JPEG sizes land where
// camera files do (about 8 MB at quality 90 for 24 megapixels).
QImage photo(QSize size, int seed)
{
    QImage img(size, QImage::Format_RGB32);
    QRandomGenerator rng(quint32(seed) + 1);
    const double fx = 6.28 / size.width(), fy = 6.28 / size.height();
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const double s = std::sin(x * fx * 3 + seed) * std::cos(y * fy * 2) * 60;
            const double t = std::sin((x + y) * 0.013) * 25 + std::sin(x * 0.11) * std::cos(y * 0.07) * 12;
            const int n = int(rng.generate() & 63) - 32;
            auto c = [](double v) { return qBound(0, int(v), 255); };
            line[x] = qRgb(c(128 + s + t + n), c(110 + s * 0.8 - t + n), c(90 - s * 0.5 + t * 0.5 + n));
        }
    }
    return img;
}

struct Stats {
    std::vector<double> ms;
    void add(double v) { ms.push_back(v); }
    double median()
    {
        std::sort(ms.begin(), ms.end());
        return ms.empty() ? 0 : ms[ms.size() / 2];
    }
    double p90()
    {
        std::sort(ms.begin(), ms.end());
        return ms.empty() ? 0 : ms[std::min(ms.size() - 1, ms.size() * 9 / 10)];
    }
};

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Decoded ahead: the next two (a held key gets two cores) and the previous one.
QStringList around(const QStringList &files, int i)
{
    const int n = int(files.size());
    return {files[(i + 1) % n], files[(i + 2) % n], files[(i + n - 1) % n]};
}

void run(const char *label, const QStringList &files, QSize area)
{
    resetPeak();
    std::printf("\n== %s: %lld files, area %dx%d\n", label, (long long)files.size(), area.width(),
                area.height());
    Stats full, reduced, hit, walk, held, fullCpu, reducedCpu;
    for (const QString &f : files) {
        QElapsedTimer t;
        t.start();
        const double c = cpuMs();
        QImageReader r(f);
        r.setAutoTransform(false);
        const QImage img = r.read();
        full.add(msSince(t));
        fullCpu.add(cpuMs() - c);
    }
    const LoadOptions opt{area, true};
    for (const QString &f : files) {
        QElapsedTimer t;
        t.start();
        const double c = cpuMs();
        PictureData p;
        LoadPictureFile(f, p, opt);
        reduced.add(msSince(t));
        reducedCpu.add(cpuMs() - c);
    }
    std::printf("decode full size (QImageReader)  median %7.1f ms  p90 %7.1f ms  cpu %7.1f ms\n",
                full.median(), full.p90(), fullCpu.median());
    std::printf("LoadPictureFile for the area     median %7.1f ms  p90 %7.1f ms  cpu %7.1f ms\n",
                reduced.median(), reduced.p90(), reducedCpu.median());

    {
        PictureCache cache;
        PictureData p;
        cache.get(files[0], opt, p);
        for (int i = 0; i < 20; ++i) {
            QElapsedTimer t;
            t.start();
            cache.get(files[0], opt, p);
            hit.add(msSince(t));
        }
        std::printf("cache hit          median %7.3f ms  (picture %dx%d of %dx%d)\n", hit.median(),
                    p.image.width(), p.image.height(), p.naturalSize.width(), p.naturalSize.height());
    }

    // A step every 300 ms, decoding the next two and the previous picture ahead.
    {
        PictureCache cache;
        for (int i = 0; i < files.size(); ++i) {
            QElapsedTimer t;
            t.start();
            PictureData p;
            cache.get(files[i], opt, p);
            if (i > 0) // the first picture has nothing decoded ahead of it
                walk.add(msSince(t));
            cache.prefetch(around(files, i), opt);
            QThread::msleep(300);
        }
        std::printf("step every 300 ms  median %7.2f ms  p90 %7.2f ms (time to the decoded picture)\n",
                    walk.median(), walk.p90());
    }
    // Key held: step as soon as the picture is there.
    {
        PictureCache cache;
        QElapsedTimer all;
        all.start();
        for (int i = 0; i < files.size(); ++i) {
            QElapsedTimer t;
            t.start();
            PictureData p;
            cache.get(files[i], opt, p);
            cache.prefetch(around(files, i), opt);
            held.add(msSince(t));
        }
        std::printf("key held           %7.1f pictures/s (median step %.1f ms)\n",
                    files.size() * 1000.0 / msSince(all), held.median());
    }
    std::printf("RSS now %ld MB, peak %ld MB\n", rssKb() / 1024, peakRssKb() / 1024);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? std::max(2, std::atoi(argv[1])) : 8;
    QTemporaryDir dir;
    std::printf("generating pictures in %s ...\n", qPrintable(dir.path()));
    QStringList big, small;
    {
        const QImage base = photo({6000, 4000}, 1);
        for (int i = 0; i < count; ++i) {
            QImage img = base;
            // Each file differs so nothing is shared between decodes.
            for (int y = i * 97 % 3000; y < i * 97 % 3000 + 800; ++y)
                for (int x = 0; x < 6000; x += 3)
                    img.setPixel(x, y, qRgb(i * 30 % 255, 90, 200));
            big << dir.filePath(QStringLiteral("big_%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
            img.save(big.last(), "JPEG", 90);
        }
        for (int i = 0; i < count; ++i) {
            small << dir.filePath(QStringLiteral("hd_%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
            photo({1920, 1080}, i + 7).save(small.last(), "JPEG", 90);
        }
    }
    std::printf("6000x4000 file size %.1f MB, 1920x1080 file size %.1f MB\n",
                QFileInfo(big[0]).size() / 1048576.0, QFileInfo(small[0]).size() / 1048576.0);
    std::printf("RSS after generating: %ld MB (peak %ld MB)\n", rssKb() / 1024, peakRssKb() / 1024);
    // A 1920×1080 screen less menu and status bars.
    const QSize area(1920, 1030);
    run("6000x4000 JPEG q90", big, area);
    run("1920x1080 JPEG q90", small, area);
    return 0;
}
