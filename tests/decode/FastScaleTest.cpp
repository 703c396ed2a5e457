// Shrinking pictures: each target pixel is the covered area's average, in
// every format and at every ratio the display meets.
#include "decode/FastScale.h"

#include <QImage>
#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

namespace
{

QImage noise(QSize size, QImage::Format format, quint32 seed)
{
    QRandomGenerator rng(seed);
    QImage img(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, rng.generate() | (format == QImage::Format_RGB32 ? 0xff000000u : 0u));
    return img.convertToFormat(format);
}

// The exact area average of one channel (premultiplied), in doubles.
double reference(const QImage &src, QSize size, int x, int y, int shift)
{
    const double rx = double(src.width()) / size.width(), ry = double(src.height()) / size.height();
    const double x0 = x * rx, x1 = (x + 1) * rx, y0 = y * ry, y1 = (y + 1) * ry;
    double sum = 0;
    for (int sy = int(y0); sy < std::ceil(y1); ++sy)
        for (int sx = int(x0); sx < std::ceil(x1); ++sx) {
            const double cover = (std::min(x1, sx + 1.0) - std::max(x0, double(sx))) *
                                 (std::min(y1, sy + 1.0) - std::max(y0, double(sy)));
            sum += cover * ((src.pixel(sx, sy) >> shift) & 0xff);
        }
    return sum / (rx * ry);
}

} // namespace

TEST(ShrinkImage, AveragesTheCoveredAreaAtEveryRatio)
{
    struct Case {
        QSize from, to;
        QImage::Format format;
    };
    const Case cases[] = {
        {{64, 36}, {60, 34}, QImage::Format_RGB32},                // slightly smaller, as a 2 MP photo
        {{97, 61}, {13, 7}, QImage::Format_RGB32},                 // odd sizes, ratio above 7
        {{50, 50}, {50, 17}, QImage::Format_RGB32},                // one axis only
        {{40, 30}, {1, 1}, QImage::Format_RGB32},                  // down to a single pixel
        {{33, 21}, {20, 20}, QImage::Format_ARGB32_Premultiplied}, // transparency
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1x%2 -> %3x%4")
                         .arg(c.from.width())
                         .arg(c.from.height())
                         .arg(c.to.width())
                         .arg(c.to.height())
                         .toStdString());
        const QImage src = noise(c.from, c.format, quint32(c.from.width() * 31 + c.to.width()));
        const QImage out = ShrinkImage(src, c.to);
        ASSERT_EQ(out.size(), c.to);
        ASSERT_EQ(out.format(), c.format);
        double worst = 0;
        for (int y = 0; y < c.to.height(); ++y)
            for (int x = 0; x < c.to.width(); ++x)
                for (int shift : {0, 8, 16, 24})
                    worst = std::max(worst, std::abs(reference(src, c.to, x, y, shift) -
                                                     ((out.pixel(x, y) >> shift) & 0xff)));
        EXPECT_LT(worst, 1.01); // fixed-point rounding only
    }
}

TEST(ShrinkImage, GivesTheSamePixelsOnSeveralThreadsAndRowByRow)
{
    const QImage src = noise(QSize(640, 480), QImage::Format_RGB32, 7);
    const QImage whole = ShrinkImage(src, QSize(301, 250));
    EXPECT_EQ(ShrinkImage(src, QSize(301, 250), 3), whole);

    RowShrinker rows(src.size(), QSize(301, 250));
    ASSERT_TRUE(rows.accepted());
    for (int y = 0; y < src.height(); ++y) {
        EXPECT_TRUE(rows.result().isNull()); // not before the last row
        rows.addRow(src.constScanLine(y));
    }
    EXPECT_EQ(rows.result(), whole);

    EXPECT_FALSE(RowShrinker(QSize(1, 10), QSize(1, 5)).accepted());   // too narrow
    EXPECT_FALSE(RowShrinker(QSize(10, 10), QSize(20, 5)).accepted()); // enlarging
    EXPECT_FALSE(RowShrinker(QSize(10, 10), QSize(5, 5), QImage::Format_RGB888).accepted());
}

TEST(ShrinkImage, KeepsOpaquePicturesOpaqueAndFallsBackElsewhere)
{
    const QImage white = [] {
        QImage i(301, 203, QImage::Format_RGB32);
        i.fill(Qt::white);
        return i;
    }();
    const QImage out = ShrinkImage(white, QSize(97, 66));
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            ASSERT_EQ(out.pixel(x, y), 0xffffffffu);

    // Straight alpha is averaged premultiplied and handed back as it came.
    QImage half(4, 1, QImage::Format_ARGB32);
    half.setPixel(0, 0, 0x00ff0000u); // fully transparent red
    half.setPixel(1, 0, 0xff0000ffu); // opaque blue
    half.setPixel(2, 0, 0xff0000ffu);
    half.setPixel(3, 0, 0xff0000ffu);
    const QImage mixed = ShrinkImage(half, QSize(2, 1));
    EXPECT_EQ(mixed.format(), QImage::Format_ARGB32);
    EXPECT_EQ(qRed(mixed.pixel(0, 0)), 0); // no red bleeds out of a transparent pixel
    EXPECT_NEAR(qAlpha(mixed.pixel(0, 0)), 128, 1);

    // Other formats and enlarging go through Qt; null in, null out.
    EXPECT_EQ(ShrinkImage(white.convertToFormat(QImage::Format_Grayscale8), QSize(10, 10)).size(),
              QSize(10, 10));
    EXPECT_EQ(ShrinkImage(white, QSize(400, 300)).size(), QSize(400, 300));
    EXPECT_TRUE(ShrinkImage(QImage(), QSize(10, 10)).isNull());
    EXPECT_TRUE(ShrinkImage(white, QSize(0, 10)).isNull());
}
