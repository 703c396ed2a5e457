// The first picture decoded while the program starts is handed over exactly
// as the usual decode would give it, and only when it is still right.
#include "decode/EarlyPicture.h"

#include "decode/PictureCache.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace
{

// A photo-like JPEG large enough to be decoded at a reduced size.
QString writeJpeg(const QString &path, QRgb tint)
{
    QImage img(1200, 800, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb((x * 7 + qRed(tint)) & 255, (y * 5 + qGreen(tint)) & 255, (x ^ y) & 255));
    img.save(path, "JPEG", 90);
    return path;
}

LoadOptions shownIn(QSize area)
{
    LoadOptions o;
    o.maxSize = area;
    o.autoRotate = true;
    return o;
}

void start(const QString &path, QSize bound)
{
    EarlyPicture::begin([=] { return EarlyPicture::Request{path, bound, true}; });
    EarlyPicture::applicationReady(QSize(1920, 1080));
}

struct Released {
    ~Released() { EarlyPicture::release(); }
};

} // namespace

TEST(EarlyPicture, GivesWhatTheUsualDecodeGives)
{
    QTemporaryDir tmp;
    const QString path = writeJpeg(tmp.filePath("a.jpg"), qRgb(0, 0, 0));
    const LoadOptions options = shownIn(QSize(500, 400));
    PictureData usual;
    ASSERT_TRUE(LoadPictureFile(path, usual, options));

    // The window is told its size before or after the decode ends; either
    // way the same pixels come out, once.
    for (bool expectFirst : {true, false}) {
        SCOPED_TRACE(expectFirst ? "size known early" : "size known late");
        Released released;
        start(path, QSize(560, 420)); // the window's outer size: the same eighth as its area
        if (expectFirst)
            EarlyPicture::expect(options);
        PictureData early;
        EXPECT_FALSE(EarlyPicture::take(tmp.filePath("other.jpg"), options, early)); // not this one
        ASSERT_TRUE(EarlyPicture::take(path, options, early));
        EXPECT_EQ(early.naturalSize, QSize(1200, 800));
        EXPECT_EQ(early.image, usual.image);
        EXPECT_FALSE(EarlyPicture::take(path, options, early)); // handed over once
    }
}

TEST(EarlyPicture, RefusedWhenNoLongerRight)
{
    QTemporaryDir tmp;
    const QString path = writeJpeg(tmp.filePath("a.jpg"), qRgb(0, 0, 0));
    PictureData p;
    {
        // Shown larger than the early guess: decoded again at full quality.
        Released released;
        start(path, QSize(300, 200));
        EXPECT_FALSE(EarlyPicture::take(path, shownIn(QSize(900, 600)), p));
    }
    {
        // Another orientation choice.
        Released released;
        start(path, QSize(620, 463));
        LoadOptions upright = shownIn(QSize(500, 400));
        upright.autoRotate = false;
        EXPECT_FALSE(EarlyPicture::take(path, upright, p));
    }
    {
        // The file was replaced after the early decode.
        Released released;
        start(path, QSize(620, 463));
        while (EarlyPicture::busy(path))
            QThread::msleep(1);
        QThread::msleep(20); // a later modification time
        writeJpeg(path, qRgb(90, 40, 0));
        EXPECT_FALSE(EarlyPicture::take(path, shownIn(QSize(500, 400)), p));
    }
    {
        // Released before anyone asked.
        start(path, QSize(620, 463));
        EarlyPicture::release();
        EXPECT_FALSE(EarlyPicture::take(path, shownIn(QSize(500, 400)), p));
    }
}

TEST(EarlyPicture, TheCacheTakesItAndTellsWhenReady)
{
    QTemporaryDir tmp;
    const QString path = writeJpeg(tmp.filePath("a.jpg"), qRgb(0, 0, 0));
    Released released;
    start(path, QSize(620, 463));
    bool told = false;
    EarlyPicture::whenReady([&] { told = true; });
    QElapsedTimer t;
    t.start();
    while (!told && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(told);
    EXPECT_FALSE(EarlyPicture::busy(path));

    PictureCache cache;
    PictureData p;
    ASSERT_TRUE(cache.get(path, shownIn(QSize(500, 400)), p));
    EXPECT_EQ(p.image.size(), FitDecodeSize(QSize(1200, 800), QSize(500, 400)));
    EXPECT_EQ(cache.count(), 1);
    // Kept for the window's size only: full screen decodes it again, sharp.
    ASSERT_TRUE(cache.get(path, shownIn(QSize(1920, 1080)), p));
    EXPECT_EQ(p.image.size(), QSize(1200, 800));
}

TEST(EarlyPicture, ARawPreviewIsDecodedBeforeTheApplicationIsReady)
{
    // A RAW's embedded preview needs no image plug-in: it is decoded while
    // the application object is still being made, not after.
    const QString path = QStringLiteral(GD_TESTDATA "/formats/preview.dng");
    Released released;
    EarlyPicture::begin([=] { return EarlyPicture::Request{path, QSize(40, 40), true}; });
    QElapsedTimer waited;
    waited.start();
    while (EarlyPicture::working() && waited.elapsed() < 10000)
        QThread::msleep(5);
    EXPECT_FALSE(EarlyPicture::working());
    EarlyPicture::applicationReady(QSize(1920, 1080));
    const LoadOptions options = shownIn(QSize(40, 40)); // no larger than the preview
    PictureData usual, early;
    ASSERT_TRUE(LoadPictureFile(path, usual, options));
    ASSERT_TRUE(EarlyPicture::take(path, options, early));
    EXPECT_EQ(early.naturalSize, usual.naturalSize);
    EXPECT_EQ(early.image.size(), usual.image.size());
}

TEST(EarlyPicture, ARawPreviewSmallerThanTheWindowIsHandedOver)
{
    // The usual decode would show the same preview, as large as it is:
    // there is nothing to decode twice.
    const QString path = QStringLiteral(GD_TESTDATA "/formats/preview.dng"); // preview 64 × 96 upright
    const LoadOptions options = shownIn(QSize(700, 500));
    PictureData usual;
    ASSERT_TRUE(LoadPictureFile(path, usual, options));
    ASSERT_EQ(usual.image.size(), QSize(64, 96));
    for (bool expectFirst : {true, false}) {
        SCOPED_TRACE(expectFirst ? "size known early" : "size known late");
        Released released;
        start(path, QSize(800, 600));
        if (expectFirst)
            EarlyPicture::expect(options);
        PictureData early;
        ASSERT_TRUE(EarlyPicture::take(path, options, early));
        EXPECT_EQ(early.naturalSize, QSize(128, 192));
        EXPECT_EQ(early.image, usual.image);
    }
    // Decoded for a smaller area than it is shown in: it might have been
    // reduced, so it is decoded again.
    Released released;
    start(path, QSize(40, 40));
    PictureData early;
    EXPECT_FALSE(EarlyPicture::take(path, options, early));
}
