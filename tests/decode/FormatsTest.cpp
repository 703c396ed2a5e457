// HEIF, AVIF, JPEG XL and camera RAW files: decoded by content or name,
// upright as each format defines it, colour profiles converted to sRGB,
// and hostile headers refused before anything large is allocated.
#include "decode/Animation.h"
#include "decode/ColourProfile.h"
#include "decode/DecodeCancel.h"
#include "decode/FormatModule.h"
#include "decode/FormatDecoders.h"
#include "decode/JpegDecoder.h"
#include "decode/LoadPicture.h"
#include "decode/RawDecoder.h"

#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace
{

const QString kDir = QStringLiteral(GD_TESTDATA "/formats/");

// The pattern's six patches, 16 × 16 pixels each, as the fixtures store them.
const QRgb kPatch[2][3] = {{qRgb(200, 100, 50), qRgb(50, 200, 100), qRgb(100, 50, 200)},
                           {qRgb(230, 30, 30), qRgb(128, 128, 128), qRgb(30, 220, 40)}};

LoadOptions upright()
{
    LoadOptions o;
    o.autoRotate = true;
    return o;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Colour at the centre of the patch that sits at (column, row) of a picture
// cut into columns × rows patches.
QRgb patchAt(const QImage &image, int column, int row, int columns, int rows)
{
    return image.pixel((2 * column + 1) * image.width() / (2 * columns),
                       (2 * row + 1) * image.height() / (2 * rows));
}

::testing::AssertionResult near(QRgb got, QRgb want, int tolerance)
{
    const int d = std::max({std::abs(qRed(got) - qRed(want)), std::abs(qGreen(got) - qGreen(want)),
                            std::abs(qBlue(got) - qBlue(want))});
    if (d <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << qRed(got) << "," << qGreen(got) << "," << qBlue(got) << ") want (" << qRed(want)
           << "," << qGreen(want) << "," << qBlue(want) << ")";
}

// Display P3 to sRGB worked out from the published primaries, without any
// colour library: linearise, the P3→sRGB matrix, clip, encode.
QRgb p3ToSrgb(QRgb c)
{
    auto lin = [](int v) {
        const double x = v / 255.0;
        return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    auto enc = [](double v) {
        v = std::clamp(v, 0.0, 1.0);
        return int(std::lround(255 * (v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055)));
    };
    const double r = lin(qRed(c)), g = lin(qGreen(c)), b = lin(qBlue(c));
    return qRgb(enc(1.2249 * r - 0.2247 * g), enc(-0.0420 * r + 1.0419 * g),
                enc(-0.0197 * r - 0.0786 * g + 1.0979 * b));
}

} // namespace

TEST(Formats, HeifAvifAndJpegXlDecodeByContent)
{
    QTemporaryDir dir;
    for (const char *name : {"plain.heic", "plain.avif", "plain.jxl"}) {
        SCOPED_TRACE(name);
        // Under their own name and under a name that says nothing.
        for (const QString &path : {kDir + name, dir.filePath("picture.dat")}) {
            if (path != kDir + name) {
                QFile::remove(path);
                ASSERT_TRUE(QFile::copy(kDir + name, path));
            }
            PictureData p;
            ASSERT_TRUE(LoadPictureFile(path, p, upright())) << path.toStdString();
            EXPECT_EQ(p.naturalSize, QSize(48, 32));
            EXPECT_EQ(p.image.size(), QSize(48, 32));
            EXPECT_FALSE(p.animated);
            for (int row = 0; row < 2; ++row)
                for (int col = 0; col < 3; ++col)
                    EXPECT_TRUE(near(patchAt(p.image, col, row, 3, 2), kPatch[row][col], 3))
                        << col << "," << row;
        }
    }
    // Reduced to the size shown, the full size kept.
    LoadOptions small = upright();
    small.maxSize = QSize(24, 24);
    PictureData p;
    ASSERT_TRUE(LoadPictureFile(kDir + "plain.avif", p, small));
    EXPECT_EQ(p.image.size(), QSize(24, 16));
    EXPECT_EQ(p.naturalSize, QSize(48, 32));
}

TEST(Formats, AvifRotationAndMirrorApplyWhateverTheSwitch)
{
    for (bool autoRotate : {true, false}) {
        LoadOptions o;
        o.autoRotate = autoRotate;
        PictureData turned, mirrored;
        ASSERT_TRUE(LoadPictureFile(kDir + "turned.avif", turned, o));
        ASSERT_TRUE(LoadPictureFile(kDir + "mirrored.avif", mirrored, o));
        // A quarter turn anti-clockwise: the right column is now on top.
        EXPECT_EQ(turned.naturalSize, QSize(32, 48));
        EXPECT_EQ(turned.image.size(), QSize(32, 48));
        EXPECT_TRUE(near(patchAt(turned.image, 0, 0, 2, 3), kPatch[0][2], 3));
        EXPECT_TRUE(near(patchAt(turned.image, 1, 2, 2, 3), kPatch[1][0], 3));
        // Left and right exchanged.
        EXPECT_TRUE(near(patchAt(mirrored.image, 0, 0, 3, 2), kPatch[0][2], 3));
        EXPECT_TRUE(near(patchAt(mirrored.image, 2, 1, 3, 2), kPatch[1][0], 3));
    }
}

TEST(Formats, AnimatedAvifAndJpegXlPlay)
{
    for (const char *name : {"animated.avif", "animated.jxl"}) {
        SCOPED_TRACE(name);
        PictureData p;
        ASSERT_TRUE(LoadPictureFile(kDir + name, p, upright()));
        EXPECT_TRUE(p.animated);
        EXPECT_EQ(p.naturalSize, QSize(48, 32));
        EXPECT_TRUE(near(patchAt(p.image, 0, 0, 3, 2), kPatch[0][0], 3));

        // The player the view uses: the pattern, then its mirror image.
        Animation movie(kDir + name);
        ASSERT_TRUE(movie.isValid());
        EXPECT_EQ(movie.currentImage().size(), QSize(48, 32));
        EXPECT_TRUE(near(patchAt(movie.currentImage(), 0, 0, 3, 2), kPatch[0][0], 3));
        QSignalSpy changed(&movie, &Animation::frameChanged);
        movie.start();
        ASSERT_TRUE(changed.wait(3000));
        EXPECT_EQ(movie.frameNumber(), 1);
        EXPECT_TRUE(near(patchAt(movie.currentImage(), 0, 0, 3, 2), kPatch[0][2], 3));
        // And round again (both loop for ever).
        ASSERT_TRUE(changed.wait(3000));
        EXPECT_EQ(movie.frameNumber(), 0);
        EXPECT_TRUE(near(patchAt(movie.currentImage(), 0, 0, 3, 2), kPatch[0][0], 3));
    }
    // A still is no animation.
    PictureData still;
    ASSERT_TRUE(LoadPictureFile(kDir + "plain.avif", still, upright()));
    EXPECT_FALSE(still.animated);
}

TEST(Colour, EmbeddedDisplayP3BecomesSrgb)
{
    // Every container's way of carrying the profile.
    for (const char *name : {"p3.png", "p3.jpg", "p3.heic", "p3.avif", "p3.jxl"}) {
        SCOPED_TRACE(name);
        PictureData p;
        ASSERT_TRUE(LoadPictureFile(kDir + name, p, upright()));
        // The stored pixels (a JPEG's after its own rounding), unconverted.
        QImage stored = QString(name).endsWith(".jpg") ? QImage(kDir + name) : QImage(kDir + "pattern.png");
        ASSERT_FALSE(stored.isNull());
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 3; ++col) {
                const QRgb want = p3ToSrgb(patchAt(stored, col, row, 3, 2));
                EXPECT_TRUE(near(patchAt(p.image, col, row, 3, 2), want, 2)) << col << "," << row;
            }
    }
    // The conversion does something: P3's orange is a stronger sRGB orange.
    EXPECT_EQ(p3ToSrgb(kPatch[0][0]), qRgb(215, 93, 31));
}

TEST(Colour, PicturesWithoutAProfileAreUntouched)
{
    for (const char *name : {"pattern.png", "plain.jxl"}) {
        PictureData p;
        ASSERT_TRUE(LoadPictureFile(kDir + name, p, upright()));
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 3; ++col)
                EXPECT_EQ(patchAt(p.image, col, row, 3, 2) & 0xFFFFFF, kPatch[row][col] & 0xFFFFFF) << name;
    }
}

// A screen with a Display P3 profile, made known before the colour library
// is loaded (as at start-up): a P3 picture then keeps its stored values
// instead of being converted to sRGB.
TEST(Colour, TheScreensProfileReachesTheColourLibraryWhenItLoads)
{
    SetDisplayProfile(QColorSpace(QColorSpace::DisplayP3).iccProfile());
    struct Reset {
        ~Reset() { SetDisplayProfile({}); } // other tests in this process expect sRGB
    } reset;
    // Knowing the screen's profile costs a start-up nothing: the colour
    // library is loaded by the first picture that needs it.
    EXPECT_FALSE(FormatModuleAskedFor(FormatModuleKind::Codecs));
    PictureData p3;
    ASSERT_TRUE(LoadPictureFile(kDir + "p3.png", p3, upright()));
    const QImage stored(kDir + "pattern.png");
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            EXPECT_TRUE(near(patchAt(p3.image, col, row, 3, 2), patchAt(stored, col, row, 3, 2), 2))
                << col << "," << row;
}

TEST(Raw, EmbeddedPreviewTurnedWithTheRawsOwnSize)
{
    PictureData p;
    ASSERT_TRUE(LoadPictureFile(kDir + "preview.dng", p, upright()));
    // The 96 × 64 preview shown; the 192 × 128 sensor's size, turned a
    // quarter clockwise by the RAW's orientation.
    EXPECT_EQ(p.naturalSize, QSize(128, 192));
    EXPECT_EQ(p.image.size(), QSize(64, 96));
    EXPECT_EQ(p.orientation, 6);
    EXPECT_TRUE(near(patchAt(p.image, 0, 0, 2, 3), kPatch[1][0], 12)); // bottom left now top left
    EXPECT_TRUE(near(patchAt(p.image, 1, 2, 2, 3), kPatch[0][2], 12));

    // Without the rotation switch: as stored, any letter case of the name.
    QTemporaryDir dir;
    const QString upper = dir.filePath("IMG_0001.DNG");
    ASSERT_TRUE(QFile::copy(kDir + "preview.dng", upper));
    PictureData stored;
    ASSERT_TRUE(LoadPictureFile(upper, stored, LoadOptions()));
    EXPECT_EQ(stored.naturalSize, QSize(192, 128));
    EXPECT_EQ(stored.image.size(), QSize(96, 64));

    // Shown smaller: the preview is decoded at that size.
    LoadOptions small = upright();
    small.maxSize = QSize(40, 40);
    ASSERT_TRUE(LoadPictureFile(kDir + "preview.dng", p, small));
    EXPECT_EQ(p.naturalSize, QSize(128, 192));
    EXPECT_EQ(p.image.size(), QSize(27, 40));
}

TEST(Raw, WithoutAPreviewTheRawIsDeveloped)
{
    PictureData p;
    ASSERT_TRUE(LoadPictureFile(kDir + "nopreview.dng", p, upright()));
    EXPECT_EQ(p.naturalSize, QSize(64, 48));
    EXPECT_FALSE(p.image.isNull());
    // The sensor's red ramp runs left to right.
    EXPECT_LT(qRed(p.image.pixel(2, 24)), qRed(p.image.pixel(p.image.width() - 3, 24)));

    // Shown at half its size or less: developed at half size.
    LoadOptions small = upright();
    small.maxSize = QSize(32, 24);
    ASSERT_TRUE(LoadPictureFile(kDir + "nopreview.dng", p, small));
    EXPECT_EQ(p.naturalSize, QSize(64, 48));
    EXPECT_EQ(p.image.size(), QSize(32, 24));
}

TEST(Raw, ACancelledDecodeStopsInsideTheDecoder)
{
    // The decoders themselves look at the flag: a RAW being developed and
    // a JPEG being read give up instead of running to the end.
    const QByteArray raw = readAll(kDir + "nopreview.dng");
    const QByteArray jpeg = readAll(kDir + "p3.jpg");
    ASSERT_FALSE(raw.isEmpty());
    ASSERT_FALSE(jpeg.isEmpty());
    for (const bool cancelled : {false, true}) {
        std::atomic<bool> flag{cancelled};
        const DecodeCancelScope scope(&flag);
        RawPicture developed;
        EXPECT_EQ(DecodeRaw(raw, {}, true, true, developed),
                  cancelled ? FormatResult::Broken : FormatResult::Ok);
        QImage image;
        QSize natural;
        EXPECT_EQ(DecodeJpeg(jpeg, {}, image, natural), cancelled ? JpegResult::Broken : JpegResult::Ok);
        PictureData p;
        p.path = QStringLiteral("before");
        EXPECT_EQ(LoadPictureFile(kDir + "pattern.png", p), !cancelled);
        if (cancelled) {
            EXPECT_EQ(p.path, QStringLiteral("before")); // untouched
        }
    }
    EXPECT_FALSE(DecodeCancelled()); // the scope is over
}

TEST(Raw, OnlyTheHeadersAndThePreviewAreRead)
{
    // The file as the loader sees it, with a large run of sensor data
    // behind the preview: the preview comes back without reading that run.
    const QByteArray file = readAll(kDir + "preview.dng");
    ASSERT_FALSE(file.isEmpty());
    const QByteArray padded = file + QByteArray(8 << 20, '\0');
    qint64 bytesRead = 0;
    const RawReader counting = [&](qint64 offset, char *dst, qint64 len) -> qint64 {
        const qint64 n = qBound<qint64>(0, qMin(len, padded.size() - offset), len);
        memcpy(dst, padded.constData() + offset, size_t(n));
        bytesRead += n;
        return n;
    };
    RawPicture fromFile, fromMemory;
    ASSERT_EQ(DecodeRawFrom(counting, padded.size(), QSize(), true, false, fromFile), FormatResult::Ok);
    ASSERT_EQ(DecodeRaw(file, QSize(), true, false, fromMemory), FormatResult::Ok);
    EXPECT_FALSE(fromFile.jpeg.isEmpty());
    EXPECT_EQ(fromFile.jpeg, fromMemory.jpeg);
    EXPECT_EQ(fromFile.size, fromMemory.size);
    EXPECT_LT(bytesRead, 1 << 20);
}

TEST(Raw, AFileCutShortWhileReadEndsCleanly)
{
    // The file shrinks after its size was taken: reads past the cut come
    // back empty. Whatever comes out is whole or refused.
    for (const char *name : {"preview.dng", "nopreview.dng"}) {
        const QByteArray file = readAll(kDir + name);
        ASSERT_FALSE(file.isEmpty()) << name;
        for (const qint64 cut : {qint64(0), qint64(8), qint64(200), file.size() / 4, file.size() / 2,
                                 file.size() - 100, file.size() - 1}) {
            const RawReader shrunk = [&](qint64 offset, char *dst, qint64 len) -> qint64 {
                const qint64 n = qBound<qint64>(0, qMin(len, cut - offset), len);
                memcpy(dst, file.constData() + offset, size_t(n));
                return n;
            };
            for (const bool develop : {false, true}) {
                RawPicture raw;
                const FormatResult r = DecodeRawFrom(shrunk, file.size(), QSize(), true, develop, raw);
                if (r == FormatResult::Ok) {
                    EXPECT_TRUE(!raw.jpeg.isEmpty() || !raw.image.isNull()) << name << " " << cut;
                }
            }
        }
    }
}

TEST(Raw, AJpegNamedLikeARawStillShows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("photo.nef");
    ASSERT_TRUE(QFile::copy(kDir + "p3.jpg", path));
    PictureData p;
    ASSERT_TRUE(LoadPictureFile(path, p, upright()));
    EXPECT_EQ(p.naturalSize, QSize(48, 32));
}

TEST(FormatNames, RawsAndModernFormatsByName)
{
    struct Case {
        const char *path;
        bool raw, module;
    };
    for (const Case &c :
         {Case{"/a/b.CR3", true, true}, Case{"/a/b.dng", true, true}, Case{"/a/b.HIF", false, true},
          Case{"/a/b.heic", false, true}, Case{"/a/b.avif", false, true}, Case{"/a/b.jxl", false, true},
          Case{"/a/b.jpg", false, false}, Case{"/a/b.heic.jpg", false, false}, Case{"/a.dng/b", false, false},
          Case{"/a/b.dngx", false, false}, Case{"/a/dng", false, false}, Case{"", false, false}}) {
        EXPECT_EQ(HasRawExtension(c.path), c.raw) << c.path;
        EXPECT_EQ(NeedsFormatModule(c.path), c.module) << c.path;
    }
}

TEST(HostileFormats, HugeHeadersAreRefusedBeforeDecoding)
{
    // An AVIF and a HEIC claiming 100,000 × 100,000 pixels (their 'ispe'
    // boxes rewritten), RAWs claiming a huge sensor image.
    auto withIspe = [](QByteArray data, quint32 w, quint32 h) {
        const qsizetype at = data.indexOf("ispe");
        if (at < 0)
            return QByteArray();
        for (int i = 0; i < 4; ++i) {
            data[at + 8 + i] = char(w >> (24 - 8 * i));
            data[at + 12 + i] = char(h >> (24 - 8 * i));
        }
        return data;
    };
    QTemporaryDir dir;
    int n = 0;
    for (const char *name : {"plain.avif", "plain.heic"}) {
        const QByteArray huge = withIspe(readAll(kDir + name), 100000, 100000);
        ASSERT_FALSE(huge.isEmpty()) << name;
        const QString path = dir.filePath(QString("huge%1.dat").arg(n++));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(huge);
        f.close();
        DecodedStill still;
        EXPECT_NE(QString(name).endsWith("avif") ? DecodeAvif(huge, still) : DecodeHeif(huge, still),
                  FormatResult::Ok);
        EXPECT_TRUE(still.image.isNull());
        PictureData kept;
        EXPECT_FALSE(LoadPictureFile(path, kept, upright())) << name;
    }
    PictureData kept;
    EXPECT_FALSE(LoadPictureFile(kDir + "huge-raw.dng", kept, upright()));
    RawPicture raw;
    EXPECT_EQ(DecodeRaw(readAll(kDir + "huge-raw.dng"), QSize(), true, false, raw), FormatResult::TooLarge);
}

TEST(HostileFormats, APreviewBeyondTheBudgetIsNotDecoded)
{
    // The preview claims 30000 × 20000: the sensor image is developed
    // instead, within the budget, and the RAW's size is what shows.
    PictureData p;
    ASSERT_TRUE(LoadPictureFile(kDir + "huge-preview.dng", p, upright()));
    EXPECT_EQ(p.naturalSize, QSize(64, 48));
    EXPECT_EQ(p.image.size(), QSize(64, 48));
}

namespace
{

QByteArray box(const char *type, const QByteArray &payload)
{
    QByteArray b;
    const quint32 size = quint32(8 + payload.size());
    for (int i = 3; i >= 0; --i)
        b.append(char(size >> (8 * i)));
    return b + QByteArray(type, 4) + payload;
}

QByteArray fullBox(const char *type, int version, const QByteArray &payload)
{
    return box(type, QByteArray(1, char(version)) + QByteArray(3, '\0') + payload);
}

QByteArray u16(int v)
{
    return QByteArray(1, char(v >> 8)) + char(v);
}

QByteArray u32(quint32 v)
{
    return u16(int(v >> 16)) + u16(int(v & 0xFFFF));
}

// A HEIC whose primary picture is a grid of side × side HEVC tiles of
// tile × tile pixels (the tiles all share a few bytes of data).
QByteArray heicGrid(int side, int tile)
{
    const int tiles = side * side;
    const int full = side * tile;
    QByteArray iinf = u16(tiles + 1) + fullBox("infe", 2, u16(1) + u16(0) + "grid" + QByteArray(1, '\0'));
    QByteArray dimg = u16(1) + u16(tiles);
    QByteArray ipma = u32(quint32(tiles + 1)) + u16(1) + char(1) + char(3);
    for (int i = 0; i < tiles; ++i) {
        iinf += fullBox("infe", 2, u16(i + 2) + u16(0) + "hvc1" + QByteArray(1, '\0'));
        dimg += u16(i + 2);
        ipma += u16(i + 2) + char(2) + char(0x81) + char(2);
    }
    QByteArray hvcC(23, '\0');
    hvcC[0] = 1;
    hvcC[21] = 3;
    const QByteArray ipco = box("hvcC", hvcC) + fullBox("ispe", 0, u32(tile) + u32(tile)) +
                            fullBox("ispe", 0, u32(full) + u32(full));
    const QByteArray iprp = box("iprp", box("ipco", ipco) + fullBox("ipma", 0, ipma));
    auto iloc = [&](quint32 mdatData) {
        QByteArray l = QByteArray(1, char(0x44)) + char(0) + u16(tiles + 1);
        l += u16(1) + u16(0) + u16(1) + u32(mdatData) + u32(8);
        for (int i = 0; i < tiles; ++i)
            l += u16(i + 2) + u16(0) + u16(1) + u32(mdatData + 8) + u32(4);
        return fullBox("iloc", 0, l);
    };
    const QByteArray ftyp = box("ftyp", QByteArray("heic") + u32(0) + "mif1heic");
    auto meta = [&](quint32 mdatData) {
        return fullBox("meta", 0,
                       fullBox("hdlr", 0, u32(0) + "pict" + QByteArray(12, '\0') + QByteArray(1, '\0')) +
                           fullBox("pitm", 0, u16(1)) + fullBox("iinf", 0, iinf) +
                           fullBox("iref", 0, box("dimg", dimg)) + iprp + iloc(mdatData));
    };
    const quint32 mdatData = quint32(ftyp.size() + meta(0).size() + 8);
    const QByteArray grid =
        QByteArray(1, '\0') + char(0) + char(side - 1) + char(side - 1) + u16(full) + u16(full);
    return ftyp + meta(mdatData) + box("mdat", grid + QByteArray(4, '\0'));
}

} // namespace

TEST(HostileFormats, AHeicGridOfTenThousandTilesIsRefusedFromItsHeader)
{
    // 100 × 100 tiles of 512 × 512: a 51200 × 51200 picture, refused before
    // any tile is decoded.
    const QByteArray huge = heicGrid(100, 512);
    ASSERT_TRUE(IsHeifData(huge));
    DecodedStill still;
    EXPECT_EQ(DecodeHeif(huge, still), FormatResult::TooLarge);
    EXPECT_TRUE(still.image.isNull());
    // As many small tiles make a picture within the size budget, but
    // decoding them one by one would keep a core busy for seconds.
    EXPECT_EQ(DecodeHeif(heicGrid(100, 16), still), FormatResult::TooLarge);
    // A grid of a few tiles is read (its nonsense tile data then fails).
    EXPECT_EQ(DecodeHeif(heicGrid(4, 16), still), FormatResult::Broken);
}
