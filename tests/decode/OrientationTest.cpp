// Orientation: the tag is read from JPEG, TIFF, PNG and WebP files, only
// SHORT values count, and only 3, 6 and 8 turn the picture.
#include "decode/ExifOrientation.h"
#include "decode/LoadPicture.h"

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

const QString kData = QStringLiteral(GD_TESTDATA);

// Mean colour of a 12×12 patch at a corner (0 top left, 1 top right,
// 2 bottom left, 3 bottom right), robust against JPEG noise.
QColor cornerColour(const QImage &img, int corner)
{
    const int s = 12;
    const int x0 = (corner & 1) ? img.width() - s : 0;
    const int y0 = (corner & 2) ? img.height() - s : 0;
    long r = 0, g = 0, b = 0;
    for (int y = y0; y < y0 + s; ++y) {
        for (int x = x0; x < x0 + s; ++x) {
            const QRgb p = img.pixel(x, y);
            r += qRed(p), g += qGreen(p), b += qBlue(p);
        }
    }
    return QColor(int(r / (s * s)), int(g / (s * s)), int(b / (s * s)));
}

bool sameCorners(const QImage &a, const QImage &b, int tolerance)
{
    for (int c = 0; c < 4; ++c) {
        const QColor x = cornerColour(a, c), y = cornerColour(b, c);
        if (qAbs(x.red() - y.red()) > tolerance || qAbs(x.green() - y.green()) > tolerance ||
            qAbs(x.blue() - y.blue()) > tolerance)
            return false;
    }
    return true;
}

PictureData load(const QString &path, bool autoRotate)
{
    PictureData pic;
    EXPECT_TRUE(LoadPictureFile(path, pic, LoadOptions{{}, autoRotate})) << path.toStdString();
    return pic;
}

QImage rawDecode(const QString &path)
{
    QImageReader r(path);
    r.setAutoTransform(false);
    return r.read();
}

} // namespace

TEST(Orientation, TurnsOnlyForThreeSixEight)
{
    for (int v = 0; v <= 10; ++v)
        EXPECT_EQ(OrientationRotation(v), v == 3 ? 180 : v == 6 ? 90 : v == 8 ? 270 : 0) << v;
}

// Every photo of the set: the turned ones come out upright like the
// reference, the mirrored ones stay exactly as stored.
TEST(Orientation, JpegSetsMatchTheUprightReference)
{
    struct Set {
        QString dir, reference, pattern;
        int from, to;
    };
    const Set sets[] = {
        {kData + "/exif-orientation", "Landscape_1.jpg", "Landscape_%1.jpg", 0, 8},
        {kData + "/exif-orientation/small", "hopper.jpg", "hopper_orientation_%1.jpg", 2, 8},
    };
    for (const Set &s : sets) {
        const QImage upright = load(s.dir + "/" + s.reference, true).image;
        ASSERT_FALSE(upright.isNull());
        for (int v = s.from; v <= s.to; ++v) {
            const QString path = s.dir + "/" + s.pattern.arg(v);
            SCOPED_TRACE(path.toStdString());
            const PictureData pic = load(path, true);
            const QImage stored = rawDecode(path);
            EXPECT_EQ(pic.orientation, v);
            EXPECT_EQ(pic.naturalSize, pic.image.size());
            if (v == 3 || v == 6 || v == 8 || v <= 1) {
                EXPECT_EQ(pic.image.size(), upright.size());
                EXPECT_TRUE(sameCorners(pic.image, upright, 24));
            } else {
                EXPECT_EQ(pic.image.size(), stored.size());
                EXPECT_EQ(pic.image.convertToFormat(QImage::Format_RGB32),
                          stored.convertToFormat(QImage::Format_RGB32));
            }
        }
    }
}

// Pixels that differ between two pictures of the same size (-1: sizes differ).
int differingPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// Bilevel TIFFs: 3, 6 and 8 come out upright (the files differ from each
// other in about a hundred pixels; a wrong turn or mirror differs in thousands).
TEST(Orientation, TiffTurnsUpright)
{
    const QString dir = kData + "/orientation-png-tiff/tiff/";
    const QImage upright =
        load(dir + "g4_orientation_1.tif", true).image.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(upright.size(), QSize(590, 88));
    for (int v = 1; v <= 8; ++v) {
        const QString path = dir + QStringLiteral("g4_orientation_%1.tif").arg(v);
        SCOPED_TRACE(path.toStdString());
        const PictureData pic = load(path, true);
        EXPECT_EQ(pic.orientation, v);
        const QImage got = pic.image.convertToFormat(QImage::Format_RGB32);
        if (v == 1 || v == 3 || v == 6 || v == 8) {
            const int diff = differingPixels(got, upright);
            EXPECT_GE(diff, 0);
            EXPECT_LT(diff, 590 * 88 / 100);
        } else
            EXPECT_EQ(got, rawDecode(path).convertToFormat(QImage::Format_RGB32));
    }
}

// PNG: the eXIf chunk counts wherever it sits; orientation kept only in text
// or XMP chunks is not a tag and leaves the picture alone.
TEST(Orientation, PngExifChunk)
{
    const QString dir = kData + "/orientation-png-tiff/png/";
    struct Case {
        const char *file;
        int orientation;
    };
    for (const Case &c :
         {Case{"F-exif-chunk-early.png", 6}, Case{"exif.png", 1}, Case{"exif_imagemagick_orientation.png", 0},
          Case{"xmp_tags_orientation_exiftool.png", 0}}) {
        const QString path = dir + c.file;
        SCOPED_TRACE(c.file);
        const QImage stored = rawDecode(path).convertToFormat(QImage::Format_ARGB32);
        const PictureData pic = load(path, true);
        EXPECT_EQ(pic.orientation, c.orientation);
        const QImage expected = c.orientation == 6 ? RotateImage(stored, 90) : stored;
        EXPECT_EQ(pic.image.size(), expected.size());
        EXPECT_EQ(pic.naturalSize, expected.size());
        // Top-left pixel of the result is the stored bottom-left one after a clockwise turn.
        EXPECT_EQ(pic.image.convertToFormat(QImage::Format_ARGB32).pixel(0, 0), expected.pixel(0, 0));
    }
}

// Hand-made EXIF blocks: byte orders, a non-SHORT tag, a WebP EXIF chunk,
// and hostile offsets that must not read out of bounds.
TEST(Orientation, ParsesTagsAndRejectsBadData)
{
    auto tiff = [](bool little, quint16 type, quint16 value, quint32 ifd = 8) {
        QByteArray t;
        auto u16 = [&](quint16 v) {
            little ? t.append(char(v & 0xFF)).append(char(v >> 8))
                   : t.append(char(v >> 8)).append(char(v & 0xFF));
        };
        auto u32 = [&](quint32 v) {
            for (int i = 0; i < 4; ++i)
                t.append(char(little ? (v >> (8 * i)) & 0xFF : (v >> (8 * (3 - i))) & 0xFF));
        };
        t.append(little ? "II" : "MM");
        u16(42);
        u32(ifd);
        u16(1);
        u16(0x0112), u16(type), u32(1), u16(value), u16(0);
        u32(0);
        return t;
    };
    auto jpeg = [](const QByteArray &exif) {
        QByteArray body = QByteArray("Exif\0\0", 6) + exif;
        QByteArray j("\xFF\xD8\xFF\xE1", 4);
        const int len = int(body.size()) + 2;
        j.append(char(len >> 8)).append(char(len & 0xFF)).append(body);
        return j.append("\xFF\xDA\x00\x02\xFF\xD9", 6);
    };
    auto webp = [](const QByteArray &exif) {
        QByteArray w("RIFF\0\0\0\0WEBPEXIF", 16);
        const quint32 n = quint32(exif.size());
        for (int i = 0; i < 4; ++i)
            w.append(char((n >> (8 * i)) & 0xFF));
        return w + exif;
    };
    EXPECT_EQ(ReadExifOrientation(jpeg(tiff(true, 3, 6))), 6);
    EXPECT_EQ(ReadExifOrientation(jpeg(tiff(false, 3, 8))), 8);
    EXPECT_EQ(ReadExifOrientation(jpeg(tiff(false, 4, 6))), 0); // LONG is not a SHORT
    EXPECT_EQ(ReadExifOrientation(tiff(true, 3, 3)), 3);
    EXPECT_EQ(ReadExifOrientation(webp(tiff(false, 3, 6))), 6);
    EXPECT_EQ(ReadExifOrientation(webp(QByteArray("Exif\0\0", 6) + tiff(true, 3, 8))), 8);
    EXPECT_EQ(ReadExifOrientation(jpeg(tiff(true, 3, 6, 0xFFFFFFF0u))), 0);
    EXPECT_EQ(ReadExifOrientation(jpeg(tiff(true, 3, 6)).left(20)), 0);
    EXPECT_EQ(ReadExifOrientation(QByteArray("\xFF\xD8\xFF\xE1\xFF\xFF", 6)), 0);
    EXPECT_EQ(ReadExifOrientation(QByteArray()), 0);

    // Real headers cut at every length and with bytes flipped: no read
    // outside the data (run under the address sanitizer to see it).
    for (const char *name : {"/exif-orientation/small/hopper_orientation_6.jpg",
                             "/orientation-png-tiff/png/F-exif-chunk-early.png",
                             "/orientation-png-tiff/tiff/g4_orientation_8.tif"}) {
        QFile f(QStringLiteral(GD_TESTDATA) + name);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray whole = f.read(600);
        for (qsizetype n = 0; n <= whole.size(); ++n) {
            const QByteArray cut(whole.constData(), n); // own copy: the sanitizer sees its end
            ReadExifOrientation(cut);
        }
        for (int i = 0; i < whole.size(); ++i) {
            QByteArray flipped = whole;
            flipped[i] = char(flipped[i] ^ 0xFF);
            ReadExifOrientation(flipped);
        }
    }
}

// The orientation step alone: runs once, reads the file only for a picture
// that did not come from it, and never writes the file.
TEST(Orientation, ApplyStepRunsOnceAndLeavesFileAlone)
{
    const QString path = kData + "/exif-orientation/Landscape_6.jpg";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();

    PictureData pic = load(path, false);
    EXPECT_EQ(pic.naturalSize, QSize(1200, 1800));
    EXPECT_FALSE(pic.orientationApplied);
    ApplyExifOrientation(pic, path);
    EXPECT_EQ(pic.naturalSize, QSize(1800, 1200));
    EXPECT_EQ(pic.image.size(), QSize(1800, 1200));
    ApplyExifOrientation(pic, path); // second run: no second turn
    EXPECT_EQ(pic.image.size(), QSize(1800, 1200));

    // A picture from elsewhere: the tag comes from the file named.
    PictureData other;
    other.image = QImage(30, 20, QImage::Format_RGB32);
    other.naturalSize = other.image.size();
    ApplyExifOrientation(other, path);
    EXPECT_EQ(other.naturalSize, QSize(20, 30));

    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}
