#include "decode/spi/SpiDib.h"

#include <QBuffer>
#include <QtEndian>
#include <gtest/gtest.h>

namespace
{
// A BITMAPINFO (header + colour table) and matching rows with a simple pattern.
struct TestDib {
    QByteArray info, bits;
    TestDib(int w, int h, int bpp, int clrUsed = 0)
    {
        SPI_BITMAPINFOHEADER bh{};
        bh.biSize = 40;
        bh.biWidth = w;
        bh.biHeight = h;
        bh.biPlanes = 1;
        bh.biBitCount = uint16_t(bpp);
        bh.biClrUsed = uint32_t(clrUsed);
        info = QByteArray(reinterpret_cast<const char *>(&bh), 40);
        const int colors = clrUsed ? clrUsed : (bpp <= 8 ? 1 << bpp : 0);
        for (int i = 0; i < colors; ++i) {
            const char q[4] = {char(i * 3), char(i * 5), char(i * 7), 0};
            info.append(q, 4);
        }
        const int stride = int(SPI_DIB_STRIDE(w, bpp));
        bits.resize(stride * std::abs(h));
        for (int i = 0; i < bits.size(); ++i)
            bits[i] = char((i * 37 + 11) & 0xFF);
    }
    bool check(DibLayout &l) const { return CheckDib(info.constData(), info.size(), bits.size(), l); }
};
} // namespace

TEST(SpiDib, BmpImageLayout)
{
    struct Case {
        int bpp, height, colors;
        qint64 infoSize;
    } cases[] = {{4, 5, 16, 104}, {8, 5, 256, 1064}, {24, 5, 0, 40}, {4, -5, 16, 104}, {24, -5, 0, 40}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.bpp << "bpp height " << c.height);
        TestDib d(7, c.height, c.bpp);
        DibLayout l;
        ASSERT_TRUE(d.check(l));
        EXPECT_EQ(l.colorCount, c.colors);
        EXPECT_EQ(l.infoSize, c.infoSize);
        EXPECT_EQ(l.bitsSize, qint64(SPI_DIB_STRIDE(7, c.bpp)) * 5);

        QBuffer out;
        out.open(QIODevice::WriteOnly);
        ASSERT_TRUE(WriteDibAsBmp(out, d.info.constData(), d.bits.constData(), l));
        const QByteArray bmp = out.data();
        ASSERT_EQ(bmp.size(), 14 + c.infoSize + l.bitsSize);
        const auto *p = reinterpret_cast<const uchar *>(bmp.constData());
        EXPECT_EQ(qFromLittleEndian<quint16>(p), 0x4D42);
        EXPECT_EQ(qFromLittleEndian<quint32>(p + 2), quint32(bmp.size()));
        EXPECT_EQ(qFromLittleEndian<quint32>(p + 6), 0u);
        EXPECT_EQ(qFromLittleEndian<quint32>(p + 10), quint32(14 + c.infoSize));
        EXPECT_EQ(bmp.mid(14, int(c.infoSize)), d.info.left(int(c.infoSize)));
        EXPECT_EQ(bmp.mid(14 + int(c.infoSize)), d.bits);

        // The direct conversion shows the same pixels as Qt's reading of the BMP image.
        const QImage viaBmp = QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32);
        const QImage direct =
            DibToImage(d.info.constData(), d.bits.constData(), l).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(viaBmp.isNull());
        EXPECT_EQ(direct, viaBmp);
    }
}

TEST(SpiDib, FourBitPaletteIsKept)
{
    TestDib d(3, 2, 4);
    DibLayout l;
    ASSERT_TRUE(d.check(l));
    const QImage img = DibToImage(d.info.constData(), d.bits.constData(), l);
    ASSERT_EQ(img.colorCount(), 16);
    EXPECT_EQ(img.color(15), qRgb(15 * 7, 15 * 5, 15 * 3));
}

TEST(SpiDib, RejectsWhatCannotBeReadSafely)
{
    struct Case {
        const char *what;
        std::function<void(TestDib &)> spoil;
    } cases[] = {
        {"header size", [](TestDib &d) { d.info[0] = 12; }},
        {"zero width", [](TestDib &d) { qToLittleEndian<qint32>(0, d.info.data() + 4); }},
        {"zero height", [](TestDib &d) { qToLittleEndian<qint32>(0, d.info.data() + 8); }},
        {"absurd height", [](TestDib &d) { qToLittleEndian<qint32>(-0x7FFFFFFF - 1, d.info.data() + 8); }},
        {"bit count", [](TestDib &d) { qToLittleEndian<quint16>(7, d.info.data() + 14); }},
        {"compression", [](TestDib &d) { qToLittleEndian<quint32>(1, d.info.data() + 16); }},
        {"colour count", [](TestDib &d) { qToLittleEndian<quint32>(257, d.info.data() + 32); }},
        {"short palette", [](TestDib &d) { d.info.chop(4); }},
        {"short bits", [](TestDib &d) { d.bits.chop(1); }},
    };
    for (const Case &c : cases) {
        TestDib d(9, 4, 8);
        c.spoil(d);
        DibLayout l;
        EXPECT_FALSE(d.check(l)) << c.what;
    }
    // Past the decoding budget: too many pixels, or a pixel block too large.
    // CheckDib reads only the header, so the block sizes are just claimed.
    for (const QSize size : {QSize(16384, 16385), QSize(9000, 8000)}) {
        TestDib d(1, 1, 32);
        qToLittleEndian<qint32>(size.width(), d.info.data() + 4);
        qToLittleEndian<qint32>(size.height(), d.info.data() + 8);
        DibLayout l;
        EXPECT_FALSE(CheckDib(d.info.constData(), d.info.size(), qint64(1) << 40, l)) << size.width();
    }
    TestDib ok(9, 4, 8, 3); // a short table is fine when biClrUsed says so
    DibLayout l;
    EXPECT_TRUE(ok.check(l));
    EXPECT_EQ(l.infoSize, 52);
}
