// Files from strangers: a header declaring a huge picture, a huge (sparse)
// file, a GIF with a zero frame delay or a huge canvas. None may take the
// viewer's memory, block it, crash it or keep a core busy.
#include "decode/Animation.h"
#include "decode/DecodeLimits.h"
#include "decode/LoadPicture.h"
#include "decode/PictureCache.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace
{

const QSize kScreen(1920, 1080);

LoadOptions shown()
{
    LoadOptions o;
    o.maxSize = kScreen;
    o.autoRotate = true;
    return o;
}

QByteArray smallJpeg(bool progressive)
{
    QImage img(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            img.setPixel(x, y, qRgb(x * 16, y * 16, 128));
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QImageWriter writer(&buf, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.write(img);
    return bytes;
}

// The JPEG with its frame header claiming w×h; the scan data stays that of
// the small picture, so the file is a few hundred bytes.
QByteArray patchedJpeg(bool progressive, int w, int h)
{
    QByteArray d = smallJpeg(progressive);
    const char sof = progressive ? '\xC2' : '\xC0';
    for (qsizetype i = 2; i + 9 < d.size(); ++i) {
        if (d[i] == '\xFF' && d[i + 1] == sof) {
            d[i + 5] = char(h >> 8);
            d[i + 6] = char(h);
            d[i + 7] = char(w >> 8);
            d[i + 8] = char(w);
            return d;
        }
    }
    return {};
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

long peakRssMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

PictureData marker()
{
    PictureData p;
    p.image = QImage(3, 2, QImage::Format_RGB32);
    p.image.fill(Qt::magenta);
    p.naturalSize = p.image.size();
    p.path = QStringLiteral("/previous");
    return p;
}

void le16(QByteArray &out, int v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}

// A GIF with a w×h canvas and `frames` one-pixel frames, each shown for
// delayCs hundredths of a second, looping for ever when `loop`.
QByteArray gif(int w, int h, int frames, int delayCs, bool loop)
{
    QByteArray g("GIF89a");
    le16(g, w);
    le16(g, h);
    g += char(0x80); // global colour table of two entries
    g += char(0);
    g += char(0);
    g += QByteArray("\x00\x00\x00\xFF\xFF\xFF", 6);
    if (loop)
        g += QByteArray("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (int i = 0; i < frames; ++i) {
        g += QByteArray("\x21\xF9\x04\x00", 4);
        le16(g, delayCs);
        g += QByteArray("\x00\x00", 2);
        g += char(0x2C);
        le16(g, 0);
        le16(g, 0);
        le16(g, 1);
        le16(g, 1);
        g += char(0);
        // LZW, minimum code size 2: clear (4), the pixel's index, end (5).
        const int pixel = i % 2;
        const int bits = 4 | (pixel << 3) | (5 << 6);
        g += char(2);
        g += char(0x02);
        g += char(bits & 0xFF);
        g += char(bits >> 8);
        g += char(0);
    }
    g += char(0x3B);
    return g;
}

} // namespace

TEST(HostileFiles, JpegDeclaringAHugePictureIsRefusedFromItsHeader)
{
    QTemporaryDir tmp;
    struct Case {
        const char *name;
        bool progressive;
        int w, h;
    };
    const Case cases[] = {
        {"baseline.jpg", false, 65500, 65500},
        {"progressive.jpg", true, 65500, 65500},
        {"wide.jpg", true, 65500, 4200}, // 275 megapixels: just past the cap
        {"tall.jpg", false, 16384, 16385},
    };
    const long before = peakRssMb();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = patchedJpeg(c.progressive, c.w, c.h);
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_LT(bytes.size(), 1000);
        const QString path = tmp.filePath(c.name);
        ASSERT_TRUE(writeFile(path, bytes));
        for (const LoadOptions &o : {shown(), LoadOptions{}}) {
            PictureData pic = marker();
            EXPECT_FALSE(LoadPictureFile(path, pic, o));
            EXPECT_EQ(pic.path, QStringLiteral("/previous"));
        }
        // The neighbour decoded ahead takes the same way.
        PictureCache cache;
        cache.prefetch({path}, shown());
        PictureData pic;
        EXPECT_FALSE(cache.get(path, shown(), pic));
    }
    // Before the limit these allocated gigabytes.
    EXPECT_LT(peakRssMb() - before, 200);

    // The untouched small files still load.
    for (bool progressive : {false, true}) {
        const QString path = tmp.filePath(progressive ? "p16.jpg" : "b16.jpg");
        ASSERT_TRUE(writeFile(path, smallJpeg(progressive)));
        PictureData pic;
        ASSERT_TRUE(LoadPictureFile(path, pic, shown()));
        EXPECT_EQ(pic.naturalSize, QSize(16, 16));
    }
}

TEST(HostileFiles, PngDeclaringAHugePictureIsRefused)
{
    QTemporaryDir tmp;
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::darkGreen);
    QByteArray png;
    QBuffer buf(&png);
    buf.open(QIODevice::WriteOnly);
    ASSERT_TRUE(img.save(&buf, "PNG"));
    // IHDR width and height sit at bytes 16..23; the chunk CRC no longer
    // matches, which readers tolerate or not: either way nothing is shown.
    png[16] = 0;
    png[17] = 1;
    png[18] = 0;
    png[19] = 0;
    png[20] = 0;
    png[21] = 1;
    png[22] = 0;
    png[23] = 0;
    const QString path = tmp.filePath("huge.png");
    ASSERT_TRUE(writeFile(path, png));
    const long before = peakRssMb();
    PictureData pic = marker();
    EXPECT_FALSE(LoadPictureFile(path, pic, shown()));
    EXPECT_EQ(pic.path, QStringLiteral("/previous"));
    EXPECT_LT(peakRssMb() - before, 200);
}

TEST(HostileFiles, HugeSparseFilesAreRefusedUnread)
{
    QTemporaryDir tmp;
    const QByteArray head = smallJpeg(false);
    struct Case {
        const char *name;
        qint64 size;
    };
    const Case cases[] = {
        {"b.jpg", 40ll << 30},          // 40 GB: std::bad_alloc before
        {"c.jpg", 3ll << 30},           // 3 GB: read whole, 30 s blocked before
        {"d.png", kMaxDecodeBytes + 1}, // just past the budget
    };
    const long before = peakRssMb();
    QElapsedTimer clock;
    clock.start();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = tmp.filePath(c.name);
        ASSERT_TRUE(writeFile(path, head));
        ASSERT_EQ(truncate(QFile::encodeName(path).constData(), c.size), 0);
        PictureData pic = marker();
        EXPECT_FALSE(LoadPictureFile(path, pic, shown()));
        EXPECT_EQ(pic.path, QStringLiteral("/previous"));
        PictureCache cache;
        cache.prefetch({path, path}, shown()); // on worker threads
        EXPECT_FALSE(cache.get(path, shown(), pic));
    }
    EXPECT_LT(peakRssMb() - before, 200);
    EXPECT_LT(clock.elapsed(), 5000); // nothing was read
}

TEST(HostileFiles, TinyGifDelaysBecomeATenthOfASecond)
{
    QTemporaryDir tmp;
    struct Case {
        int delayCs;
        int expectMs;
    };
    struct Sized {
        Case c;
        QSize canvas;
    };
    // Large canvases are held longer: at most 100 million pixels a second.
    for (const auto &[c, canvas] :
         {Sized{{0, 100}, {16, 16}}, Sized{{1, 100}, {16, 16}}, Sized{{2, 20}, {16, 16}},
          Sized{{7, 70}, {16, 16}}, Sized{{2, 21}, {1920, 1080}}, Sized{{0, 168}, {4096, 4096}}}) {
        SCOPED_TRACE(c.delayCs);
        SCOPED_TRACE(canvas.width());
        const QString path = tmp.filePath(QStringLiteral("d%1-%2.gif").arg(c.delayCs).arg(canvas.width()));
        ASSERT_TRUE(writeFile(path, gif(canvas.width(), canvas.height(), 3, c.delayCs, true)));
        Animation anim(path);
        ASSERT_TRUE(anim.isValid());
        EXPECT_EQ(anim.currentDelay(), c.expectMs);
    }

    // Playing a zero-delay loop for a third of a second shows a handful of
    // frames, not thousands.
    const QString path = tmp.filePath("d0-16.gif");
    Animation anim(path);
    QSignalSpy frames(&anim, &Animation::frameChanged);
    anim.start();
    QTest::qWait(350);
    anim.stop();
    EXPECT_GE(frames.count(), 1);
    EXPECT_LE(frames.count(), 4);
    EXPECT_EQ(anim.currentImage().size(), QSize(16, 16));
}

TEST(HostileFiles, GifPlaysOnceWithoutLoopAndHugeCanvasesStayStill)
{
    QTemporaryDir tmp;
    const QString once = tmp.filePath("once.gif");
    ASSERT_TRUE(writeFile(once, gif(8, 8, 3, 2, false)));
    Animation anim(once);
    QSignalSpy frames(&anim, &Animation::frameChanged);
    anim.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !anim.isRunning(); }, 3000));
    EXPECT_EQ(frames.count(), 2); // frames 2 and 3, then it stops

    // An 826-byte kind of file: a 5000×5000 canvas, zero delay, looping.
    const QString huge = tmp.filePath("huge.gif");
    const QByteArray bytes = gif(5000, 5000, 2, 0, true);
    EXPECT_LT(bytes.size(), 1000);
    ASSERT_TRUE(writeFile(huge, bytes));
    PictureData pic;
    ASSERT_TRUE(LoadPictureFile(huge, pic, shown()));
    EXPECT_FALSE(pic.animated); // shown as a still picture
    EXPECT_EQ(pic.naturalSize, QSize(5000, 5000));
    EXPECT_FALSE(Animation(huge).isValid());
}
