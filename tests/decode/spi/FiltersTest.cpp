// The shipped PCX and Sun raster filters, checked pixel for pixel against
// files written by ImageMagick and against small hand-encoded files for the
// variants ImageMagick does not write (1 and 4 bits, run-length Sun raster).
#include "SpiTestSupport.h"
#include "decode/spi/SpiGraphic.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace
{
struct Filters {
    TSPIs spis;
    Filters()
    {
        spis.Add(CreatePlugin(shippedPlugin("pcx")));
        spis.Add(CreatePlugin(shippedPlugin("sunras")));
    }
};

QImage decode(const QString &path)
{
    QImage img;
    if (!DecodeWithPlugins(path, img))
        return {};
    return img.convertToFormat(QImage::Format_RGB32);
}

// Reports the first differing pixel, which says more than a bare inequality.
::testing::AssertionResult samePixels(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height();
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < e.height(); ++y)
        for (int x = 0; x < e.width(); ++x)
            if ((actual.pixel(x, y) & 0xFFFFFF) != (e.pixel(x, y) & 0xFFFFFF))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << ": " << std::hex
                                                     << actual.pixel(x, y) << " != " << e.pixel(x, y);
    return ::testing::AssertionSuccess();
}

QImage truecolourPicture(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) // smooth areas give runs, noise gives literals
            img.setPixel(x, y, x < w / 2 ? qRgb(x * 7, y * 11, 200) : rng.generate() | 0xFF000000u);
    return img;
}

QImage paletteOf16(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x / 3 % 4) * 80, (y / 2 % 4) * 80, 40));
    return img;
}

QByteArray le16(int v)
{
    return QByteArray() + char(v & 0xFF) + char((v >> 8) & 0xFF);
}
QByteArray be32(quint32 v)
{
    return QByteArray() + char(v >> 24) + char((v >> 16) & 0xFF) + char((v >> 8) & 0xFF) + char(v & 0xFF);
}

QByteArray pcxHeader(int w, int h, int bpp, int planes, int bytesPerLine, const QByteArray &ega = {})
{
    QByteArray d;
    d += char(0x0A);
    d += char(5);
    d += char(1);
    d += char(bpp);
    d += le16(0) + le16(0) + le16(w - 1) + le16(h - 1) + le16(72) + le16(72);
    d += ega.leftJustified(48, '\0', true);
    d += char(0);
    d += char(planes);
    d += le16(bytesPerLine) + le16(1);
    return d.leftJustified(128, '\0');
}
} // namespace

TEST(SpiFilters, DecodeWhatImageMagickWrites)
{
    const QString convert = QStandardPaths::findExecutable("convert");
    if (convert.isEmpty())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    Filters f;
    QTemporaryDir dir;
    struct Case {
        const char *name;
        QImage source;
        const char *type;
        const char *format;
    } cases[] = {
        {"tc24.pcx", truecolourPicture(61, 37), "truecolor", "pcx"},
        {"pal8.pcx", paletteOf16(61, 37), "palette", "pcx"},
        {"tc24.ras", truecolourPicture(61, 37), "truecolor", "sun"},
        {"pal8.sun", paletteOf16(61, 37), "palette", "sun"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString src = dir.filePath(QString(c.name) + ".png");
        const QString out = dir.filePath(c.name);
        ASSERT_TRUE(c.source.save(src));
        ASSERT_EQ(QProcess::execute(convert, {src, "-type", c.type, QString(c.format) + ":" + out}), 0);
        EXPECT_TRUE(samePixels(decode(out), c.source));
    }
}

TEST(SpiFilters, DecodeHandEncodedPcxVariants)
{
    Filters f;
    QTemporaryDir dir;
    // 1 bit, 10x2, RLE: row 0 = 0xF0 0xC0, row 1 = a run of two 0x0F bytes.
    {
        QByteArray d = pcxHeader(10, 2, 1, 1, 2);
        d += QByteArray("\xC1\xF0\xC1\xC0", 4); // bytes >= 0xC0 are written as runs of one
        d += QByteArray("\xC2\x0F", 2);
        const QString file = dir.filePath("mono.pcx");
        writeFile(file, d);
        QImage expected(10, 2, QImage::Format_RGB32);
        for (int x = 0; x < 10; ++x) {
            expected.setPixel(x, 0, (x < 4 || x == 8 || x == 9) ? 0xFFFFFFFF : 0xFF000000);
            expected.setPixel(x, 1, (x >= 4 && x < 8) ? 0xFFFFFFFF : 0xFF000000);
        }
        EXPECT_TRUE(samePixels(decode(file), expected));
    }
    // 4 bits as four 1-bit planes (EGA): pixel x has index x, palette entry i = (i*16, 255-i*16, i).
    {
        QByteArray ega;
        for (int i = 0; i < 16; ++i)
            ega += QByteArray() + char(i * 16) + char(255 - i * 16) + char(i);
        QByteArray d = pcxHeader(16, 1, 1, 4, 2, ega);
        for (int p = 0; p < 4; ++p) {
            quint16 bits = 0;
            for (int x = 0; x < 16; ++x)
                if (x & (1 << p))
                    bits |= quint16(0x8000 >> x);
            for (uchar b : {uchar(bits >> 8), uchar(bits & 0xFF)}) {
                if (b >= 0xC0)
                    d += char(0xC1);
                d += char(b);
            }
        }
        const QString file = dir.filePath("ega.pcx");
        writeFile(file, d);
        QImage expected(16, 1, QImage::Format_RGB32);
        for (int x = 0; x < 16; ++x)
            expected.setPixel(x, 0, qRgb(x * 16, 255 - x * 16, x));
        EXPECT_TRUE(samePixels(decode(file), expected));
    }
}

TEST(SpiFilters, DecodeHandEncodedSunRasterVariants)
{
    Filters f;
    QTemporaryDir dir;
    // 1 bit without colour map: a set bit is black; rows padded to 16 bits.
    {
        QByteArray d = be32(0x59a66a95) + be32(3) + be32(2) + be32(1) + be32(4) + be32(1) + be32(0) + be32(0);
        d += QByteArray("\xA0\x00\x40\x00", 4); // 101, 010
        const QString file = dir.filePath("mono.ras");
        writeFile(file, d);
        QImage expected(3, 2, QImage::Format_RGB32);
        for (int x = 0; x < 3; ++x) {
            expected.setPixel(x, 0, x == 1 ? 0xFFFFFFFF : 0xFF000000);
            expected.setPixel(x, 1, x == 1 ? 0xFF000000 : 0xFFFFFFFF);
        }
        EXPECT_TRUE(samePixels(decode(file), expected));
    }
    // 8 bits, byte-run encoded, with a colour map; includes an escaped literal 0x80.
    {
        QByteArray map;
        for (int ch = 0; ch < 3; ++ch)
            for (int i = 0; i < 256; ++i)
                map += char(ch == 0 ? i : ch == 1 ? 255 - i : 7);
        // 5x2 rows padded to 6 bytes: 0x80 x6, then 1 2 3 4 5 0.
        QByteArray rle("\x80\x05\x80", 3);
        rle += QByteArray("\x01\x02\x03\x04\x05\x00", 6);
        QByteArray d = be32(0x59a66a95) + be32(5) + be32(2) + be32(8) + be32(rle.size()) + be32(2) + be32(1) +
                       be32(768) + map + rle;
        const QString file = dir.filePath("rle.sun");
        writeFile(file, d);
        QImage expected(5, 2, QImage::Format_RGB32);
        for (int x = 0; x < 5; ++x) {
            expected.setPixel(x, 0, qRgb(0x80, 255 - 0x80, 7));
            expected.setPixel(x, 1, qRgb(x + 1, 255 - (x + 1), 7));
        }
        EXPECT_TRUE(samePixels(decode(file), expected));
        // The literal escape: 0x80 0x00 is one 0x80 byte.
        QByteArray lit = d;
        lit.replace(32 + 768, 3, QByteArray("\x80\x00\x80\x00\x80\x00\x80\x00\x80\x00\x80\x00", 12));
        writeFile(file, lit);
        EXPECT_TRUE(samePixels(decode(file), expected));
    }
}

TEST(SpiFilters, DamagedFilesNeverCrash)
{
    Filters f;
    QTemporaryDir dir;
    QByteArray good = pcxHeader(40, 30, 8, 3, 40);
    for (int i = 0; i < 40 * 30 * 3; ++i)
        good += char(i % 0xC0);
    QByteArray sun =
        be32(0x59a66a95) + be32(40) + be32(30) + be32(24) + be32(3600) + be32(2) + be32(0) + be32(0);
    for (int i = 0; i < 3600; ++i)
        sun += char(i % 3 ? 0x80 : i);
    const QString file = dir.filePath("damaged.pcx");
    QRandomGenerator rng(11);
    for (const QByteArray &base : {good, sun}) {
        // Cut short: decodes what is there or fails, but stays inside the data.
        writeFile(file, base.left(base.size() / 2));
        decode(file);
        writeFile(file, base.left(20));
        EXPECT_TRUE(decode(file).isNull());
        for (int round = 0; round < 300; ++round) {
            QByteArray d = base;
            for (int k = 0; k < 6; ++k)
                d[int(rng.bounded(qMin<qsizetype>(d.size(), 64 + (round % 2) * d.size())))] =
                    char(rng.bounded(256));
            writeFile(file, d);
            const QImage img = decode(file);
            if (!img.isNull()) {
                EXPECT_LE(qint64(img.width()) * img.height(), kMaxDibPixels);
            }
        }
    }
}

// Rows padded far past their width (bytes per line up to 65535) made the PCX
// filter allocate the padding for every row before decoding: gigabytes for
// a file of a few hundred bytes (found by fuzzing). The short stream decodes,
// the rest of the picture is black, and memory stays small.
TEST(SpiFilters, PaddedPcxRowsCostNoMemory)
{
    Filters f;
    QTemporaryDir dir;
    QByteArray d = pcxHeader(16, 60000, 8, 4, 65535);
    d[65] = 3; // three planes: 24-bit colour
    for (int i = 0; i < 16; ++i)
        d += QByteArray("\xC1\xFF", 2); // the first 16 bytes of the first plane: red
    const QString file = dir.filePath("padded.pcx");
    writeFile(file, d);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    const QImage img = decode(file);
    getrusage(RUSAGE_SELF, &after);
    ASSERT_EQ(img.size(), QSize(16, 60000));
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(img.pixel(5, 59999) & 0xFFFFFF, 0u);
    EXPECT_LT((after.ru_maxrss - before.ru_maxrss) / 1024, 200); // MB; 11 GB before
}
