// Pixel memory of decoded pictures is used again once a picture is gone,
// never while any copy of it lives, and what is held stays bounded.
#include "decode/PictureBuffers.h"

#include "decode/JpegDecoder.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace
{

const QSize kScreen(1000, 700); // 2.8 MB at 32 bits: large enough to be kept

} // namespace

TEST(PictureBuffers, AFreedPictureLendsItsPixelsToTheNextOfItsSize)
{
    DropSparePictureBuffers();
    QImage first = NewPictureImage(kScreen, QImage::Format_RGB32);
    ASSERT_FALSE(first.isNull());
    first.fill(Qt::red);
    const uchar *bits = first.constBits();

    // While a copy lives the pixels are its own.
    QImage copy = first;
    first = QImage();
    QImage second = NewPictureImage(kScreen, QImage::Format_RGB32);
    second.fill(Qt::blue);
    EXPECT_NE(second.constBits(), bits);
    EXPECT_EQ(copy.pixel(10, 10), QColor(Qt::red).rgb());

    // Gone for good: the next picture of that size gets the same memory.
    copy = QImage();
    const int reused = PictureBuffers().reused;
    QImage third = NewPictureImage(kScreen, QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(third.constBits(), bits);
    EXPECT_EQ(PictureBuffers().reused, reused + 1);
    EXPECT_EQ(third.size(), kScreen);
    EXPECT_EQ(third.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(third.bytesPerLine(), kScreen.width() * 4);

    // Writing into it changes no one else's picture.
    third.fill(Qt::green);
    EXPECT_EQ(second.pixel(10, 10), QColor(Qt::blue).rgb());
}

TEST(PictureBuffers, OnlyBlocksOfAboutTheRightSizeAreTaken)
{
    DropSparePictureBuffers();
    const uchar *bits = nullptr;
    {
        const QImage large = NewPictureImage(QSize(2000, 1000), QImage::Format_RGB32);
        bits = large.constBits();
    }
    // A picture much smaller than the block held gets memory of its own.
    const QImage small = NewPictureImage(QSize(1000, 300), QImage::Format_RGB32);
    EXPECT_NE(small.constBits(), bits);
    EXPECT_GT(PictureBuffers().spareBytes, 0);
    // One a little smaller uses it.
    const QImage close = NewPictureImage(QSize(1990, 920), QImage::Format_RGB32);
    EXPECT_EQ(close.constBits(), bits);
}

TEST(PictureBuffers, WhatIsHeldStaysBoundedAndOtherKindsArePlain)
{
    DropSparePictureBuffers();
    {
        std::vector<QImage> many;
        for (int i = 0; i < 20; ++i)
            many.push_back(NewPictureImage(QSize(1920, 1080 + i), QImage::Format_RGB32));
    }
    EXPECT_LE(PictureBuffers().spareBytes, 32ll << 20);
    EXPECT_GT(PictureBuffers().spareBytes, 16ll << 20);

    EXPECT_TRUE(NewPictureImage(QSize(), QImage::Format_RGB32).isNull());
    EXPECT_TRUE(NewPictureImage(QSize(0, 10), QImage::Format_RGB32).isNull());
    const QImage grey = NewPictureImage(QSize(2000, 1000), QImage::Format_Grayscale8);
    EXPECT_EQ(grey.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(grey.size(), QSize(2000, 1000));
    DropSparePictureBuffers();
    EXPECT_EQ(PictureBuffers().spareBytes, 0);
}

TEST(PictureBuffers, SteppingThroughJpegsReusesTheLastPicturesMemory)
{
    // The decoder's own path: full size, and shrunk as the lines come.
    QImage source(1200, 900, QImage::Format_RGB32);
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            source.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    QByteArray jpeg;
    QBuffer out(&jpeg);
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(source.save(&out, "JPEG", 90));

    for (const QSize target : {QSize(), QSize(1100, 825)}) {
        DropSparePictureBuffers();
        QImage shown;
        QSize natural;
        ASSERT_EQ(DecodeJpeg(jpeg, target, shown, natural), JpegResult::Ok);
        QImage before = shown;
        const uchar *bits = shown.constBits();
        shown = QImage(); // the cache still holds `before`: not reusable yet
        ASSERT_EQ(DecodeJpeg(jpeg, target, shown, natural), JpegResult::Ok);
        EXPECT_NE(shown.constBits(), bits);
        EXPECT_EQ(shown, before);
        const QImage kept = shown;
        shown = QImage();
        // The earlier picture is dropped: the next decode writes into its memory.
        const QImage expected = before.copy();
        before = QImage();
        const int reused = PictureBuffers().reused;
        ASSERT_EQ(DecodeJpeg(jpeg, target, shown, natural), JpegResult::Ok);
        EXPECT_EQ(PictureBuffers().reused, reused + 1);
        EXPECT_EQ(shown.constBits(), bits);
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(kept, expected);
    }
}
