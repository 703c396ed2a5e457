// Loading picture files: by content whatever the name, GIFs animated,
// failures leave the picture as it was, reduced decodes keep the full size.
#include "decode/LoadPicture.h"

#include "decode/PictureFormats.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QMovie>
#include <QSet>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/stat.h>

namespace
{

const QString kImages = QStringLiteral(GD_TESTDATA "/images");

bool copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

PictureData marker()
{
    PictureData p;
    p.image = QImage(7, 5, QImage::Format_RGB32);
    p.image.fill(Qt::magenta);
    p.naturalSize = p.image.size();
    p.path = QStringLiteral("/previous.png");
    return p;
}

void expectUnchanged(const PictureData &p)
{
    EXPECT_EQ(p.path, QStringLiteral("/previous.png"));
    EXPECT_EQ(p.image.size(), QSize(7, 5));
    EXPECT_EQ(p.image.pixel(0, 0), QColor(Qt::magenta).rgb());
}

} // namespace

TEST(LoadPicture, BrokenFilesFailAndKeepThePicture)
{
    QTemporaryDir tmp;
    QStringList paths;
    for (const QString &name : QDir(kImages + "/corrupt").entryList(QDir::Files))
        paths << kImages + "/corrupt/" + name;
    paths << kImages + "/gif/zero_width.gif" << kImages + "/gif/decompression_bomb.gif";
    paths << tmp.path() + "/missing.jpg";
    QFile empty(tmp.path() + "/empty.jpg");
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    paths << empty.fileName();
    QFile text(tmp.path() + "/notes.png");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is not a picture at all\n");
    text.close();
    paths << text.fileName() << tmp.path(); // a folder is not a picture either
    // A named pipe must not block the viewer waiting for a writer.
    const QByteArray fifo = QFile::encodeName(tmp.path() + "/pipe.jpg");
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    paths << QFile::decodeName(fifo);
    // A good JPEG cut off in the middle of its scan.
    QImage photo(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            photo.setPixel(x, y, qRgb(x * 4, y * 4, (x ^ y) * 4));
    ASSERT_TRUE(photo.save(tmp.path() + "/whole.jpg", "JPEG", 90));
    QFile whole(tmp.path() + "/whole.jpg");
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    QFile cut(tmp.path() + "/cut.jpg");
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() * 2 / 3));
    cut.close();
    paths << cut.fileName();

    for (const QString &path : paths) {
        SCOPED_TRACE(path.toStdString());
        for (const bool scaled : {false, true}) {
            PictureData pic = marker();
            EXPECT_FALSE(LoadPictureFile(path, pic, LoadOptions{scaled ? QSize(20, 20) : QSize(), true}));
            expectUnchanged(pic);
        }
    }
    PictureData ok;
    EXPECT_TRUE(LoadPictureFile(whole.fileName(), ok));
}

// The name never decides the decoder (except that .gif animates).
TEST(LoadPicture, DecidesByContent)
{
    QTemporaryDir tmp;
    QImage img(40, 30, QImage::Format_ARGB32);
    img.fill(qRgba(10, 200, 30, 255));
    ASSERT_TRUE(img.save(tmp.path() + "/src.png", "PNG"));
    for (const char *name : {"a.jpg", "a", "a.xyz", "a.bmp", "photo.tar.gz"}) {
        const QString path = tmp.path() + "/" + name;
        ASSERT_TRUE(copyFile(tmp.path() + "/src.png", path));
        PictureData pic;
        ASSERT_TRUE(LoadPictureFile(path, pic)) << name;
        EXPECT_EQ(pic.naturalSize, QSize(40, 30));
        EXPECT_EQ(pic.path, path);
        EXPECT_FALSE(pic.animated);
        EXPECT_EQ(pic.image.pixel(5, 5), qRgba(10, 200, 30, 255));
    }
    // A PNG named .gif is still a PNG: shown still, not handed to the animator.
    ASSERT_TRUE(copyFile(tmp.path() + "/src.png", tmp.path() + "/b.gif"));
    PictureData pic;
    ASSERT_TRUE(LoadPictureFile(tmp.path() + "/b.gif", pic));
    EXPECT_FALSE(pic.animated);
}

TEST(LoadPicture, GifsAnimateInAnyLetterCase)
{
    QTemporaryDir tmp;
    const QString src = kImages + "/gif/chi.gif";
    for (const char *name : {"a.gif", "A.GIF", "b.Gif"}) {
        const QString path = tmp.path() + "/" + name;
        ASSERT_TRUE(copyFile(src, path));
        PictureData pic;
        ASSERT_TRUE(LoadPictureFile(path, pic, LoadOptions{QSize(100, 100), true})) << name;
        EXPECT_TRUE(pic.animated) << name;
        EXPECT_EQ(pic.naturalSize, QSize(320, 240));
        QMovie movie(path);
        EXPECT_TRUE(movie.isValid());
        EXPECT_GT(movie.frameCount(), 1);
    }
    // Every readable GIF of the set loads; the animated ones have frames.
    for (const char *name : {"iss634.gif", "dispose_bgnd.gif", "dispose_prev.gif", "hopper_resized.gif",
                             "first_frame_transparency.gif", "no_palette.gif", "test_extents.gif"}) {
        PictureData pic;
        EXPECT_TRUE(LoadPictureFile(kImages + "/gif/" + name, pic)) << name;
        EXPECT_TRUE(pic.animated) << name;
    }
    QMovie many(kImages + "/gif/iss634.gif");
    EXPECT_EQ(many.frameCount(), 42);
    // Not a .gif: a still picture even though it is GIF data.
    ASSERT_TRUE(copyFile(src, tmp.path() + "/c.img"));
    PictureData still;
    ASSERT_TRUE(LoadPictureFile(tmp.path() + "/c.img", still));
    EXPECT_FALSE(still.animated);
}

TEST(LoadPicture, ReducedDecodeKeepsNaturalSize)
{
    QTemporaryDir tmp;
    QImage img(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x & 255, y & 255, (x * y) & 255));
    for (const char *fmt : {"JPEG", "PNG"}) {
        const QString path = tmp.path() + "/big." + QString::fromLatin1(fmt).toLower();
        ASSERT_TRUE(img.save(path, fmt, 90));
        PictureData pic;
        ASSERT_TRUE(LoadPictureFile(path, pic, LoadOptions{QSize(400, 400), false})) << fmt;
        EXPECT_EQ(pic.naturalSize, QSize(1600, 1200));
        EXPECT_EQ(pic.image.size(), QSize(400, 300));
        // Fits already: full size.
        ASSERT_TRUE(LoadPictureFile(path, pic, LoadOptions{QSize(2000, 2000), false}));
        EXPECT_EQ(pic.image.size(), QSize(1600, 1200));
    }
    // Grey JPEGs take the same fast path.
    const QString grey = tmp.path() + "/grey.jpg";
    ASSERT_TRUE(img.convertToFormat(QImage::Format_Grayscale8).save(grey, "JPEG", 90));
    PictureData g;
    ASSERT_TRUE(LoadPictureFile(grey, g, LoadOptions{QSize(800, 800), false}));
    EXPECT_EQ(g.image.size(), QSize(800, 600));
    EXPECT_EQ(qRed(g.image.pixel(400, 300)), qGreen(g.image.pixel(400, 300)));

    // Turned pictures are reduced in their upright shape.
    PictureData pic;
    ASSERT_TRUE(LoadPictureFile(QStringLiteral(GD_TESTDATA "/exif-orientation/Landscape_6.jpg"), pic,
                                LoadOptions{QSize(900, 900), true}));
    EXPECT_EQ(pic.naturalSize, QSize(1800, 1200));
    EXPECT_EQ(pic.image.size(), QSize(900, 600));
}

// CMYK JPEGs (from print workflows) are left to Qt's reader.
TEST(LoadPicture, CmykJpegLoads)
{
    QTemporaryDir tmp;
    const QByteArray path = QFile::encodeName(tmp.path() + "/cmyk.jpg");
    FILE *f = std::fopen(path.constData(), "wb");
    ASSERT_NE(f, nullptr);
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = 64;
    c.image_height = 32;
    c.input_components = 4;
    c.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(64 * 4, 0); // no ink at all: white
    while (c.next_scanline < c.image_height) {
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::fclose(f);

    PictureData pic;
    ASSERT_TRUE(LoadPictureFile(QFile::decodeName(path), pic, LoadOptions{QSize(32, 32), true}));
    EXPECT_EQ(pic.naturalSize, QSize(64, 32));
    EXPECT_EQ(pic.image.size(), QSize(32, 16));
}

TEST(LoadPicture, FitDecodeSizeMatchesLayout)
{
    struct Case {
        QSize natural, area, expected;
    };
    const Case cases[] = {
        {{100, 50}, {400, 300}, {100, 50}},   // fits: never enlarged
        {{800, 600}, {400, 300}, {400, 300}}, // equal ratios
        {{6000, 4000}, {1920, 1030}, {1545, 1030}},
        {{4000, 6000}, {1920, 1030}, {687, 1030}},
        {{300, 100}, {200, 400}, {200, 67}}, // too wide
        {{100, 500}, {400, 300}, {60, 300}}, // too tall
        {{5, 2}, {2, 100}, {2, 1}},          // 0.8 rounds to 1
        {{3, 4}, {1, 2}, {1, 1}},            // round(4/3) = 1
    };
    for (const Case &c : cases)
        EXPECT_EQ(FitDecodeSize(c.natural, c.area), c.expected)
            << c.natural.width() << "x" << c.natural.height();
}

TEST(LoadPicture, PluginDecoderIsTheFallback)
{
    QTemporaryDir tmp;
    QFile f(tmp.path() + "/pic.pi");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("PI-format data nobody else reads");
    f.close();
    int calls = 0;
    setPluginDecoder([&](const QString &path, QImage &out) {
        ++calls;
        if (!path.endsWith(".pi"))
            return false;
        out = QImage(12, 9, QImage::Format_RGB32);
        return true;
    });
    PictureData pic;
    EXPECT_TRUE(LoadPictureFile(f.fileName(), pic));
    EXPECT_EQ(pic.naturalSize, QSize(12, 9));
    // A file Qt reads never reaches the plug-ins.
    QImage(4, 4, QImage::Format_RGB32).save(tmp.path() + "/x.png");
    EXPECT_TRUE(LoadPictureFile(tmp.path() + "/x.png", pic));
    EXPECT_EQ(calls, 1);
    // A plug-in that fails leaves the picture unchanged.
    PictureData kept = marker();
    setPluginDecoder([](const QString &, QImage &) { return false; });
    EXPECT_FALSE(LoadPictureFile(f.fileName(), kept));
    expectUnchanged(kept);
    setPluginDecoder({});
}

TEST(PictureFormats, RegistryAndFilter)
{
    PictureFormats formats;
    // Exactly what a reader here decodes: the classic set first, no metafiles
    // unless a reader for them is installed; HEIF, AVIF, JPEG XL and camera
    // RAWs through the libraries built in, with or without Qt plug-ins.
    QList<QByteArray> readable = QImageReader::supportedImageFormats();
    for (const char *ext : {"heic", "heif", "hif", "avif", "jxl", "cr2", "cr3", "nef", "nrw", "arw",
                            "sr2",  "raf",  "orf", "rw2",  "pef", "dng", "srw", "3fr", "iiq", "x3f"})
        readable.append(ext);
    for (const char *ext : {"gif", "jpg", "jpeg", "png", "bmp", "ico", "wmf", "emf", "tif", "tiff"})
        EXPECT_EQ(formats.find(QString::fromLatin1(ext)) != nullptr, readable.contains(ext)) << ext;
    for (const QByteArray &f : readable)
        EXPECT_NE(formats.find(QString::fromLatin1(f)), nullptr) << f.constData();
    EXPECT_EQ(formats.formats().size(), QSet<QByteArray>(readable.begin(), readable.end()).size());
    EXPECT_EQ(formats.formats().first().extension, "gif");
    EXPECT_NE(formats.find(".JPG"), nullptr);
    EXPECT_EQ(formats.find("xyz"), nullptr);
    EXPECT_TRUE(formats.isPictureFile("/a/b.WebP") ||
                !QImageReader::supportedImageFormats().contains("webp"));
    EXPECT_FALSE(formats.isPictureFile("/a.jpg/noext"));

    formats.addFormat("PI", "Pi format");
    formats.addFormat("tiff", "TIFF via plug-in");
    ASSERT_NE(formats.find("pi"), nullptr);
    EXPECT_TRUE(formats.find("pi")->plugin);
    EXPECT_EQ(formats.find("tiff")->description, "TIFF via plug-in"); // newest first

    const QString filter = formats.filter();
    for (const auto &f : formats.formats())
        EXPECT_TRUE(filter.contains("*." + f.extension)) << f.extension.toStdString();
    EXPECT_TRUE(filter.startsWith("すべての画像 (*.gif *.jpg"));
    EXPECT_TRUE(filter.contains(";;Pi format (*.pi)"));
    EXPECT_EQ(filter.count("*.tiff"), 2); // once in the "all" entry, once in its own

    formats.removePluginFormats();
    EXPECT_EQ(formats.find("pi"), nullptr);
    EXPECT_EQ(formats.find("tiff")->description, "TIFF Image");
}
