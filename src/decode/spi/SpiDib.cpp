#include "decode/spi/SpiDib.h"

#include <QtEndian>
#include <cstring>

bool CheckDib(const void *info, qint64 infoBytes, qint64 bitsBytes, DibLayout &out)
{
    if (!info || infoBytes < qint64(sizeof(SPI_BITMAPINFOHEADER)))
        return false;
    SPI_BITMAPINFOHEADER h;
    std::memcpy(&h, info, sizeof h);
    if (h.biSize != sizeof(SPI_BITMAPINFOHEADER) || h.biCompression != SPI_BI_RGB)
        return false;
    const qint64 w = h.biWidth;
    const qint64 absH = h.biHeight < 0 ? -qint64(h.biHeight) : qint64(h.biHeight);
    if (w <= 0 || absH == 0 || w > kMaxDibSide || absH > kMaxDibSide || w * absH > kMaxDibPixels)
        return false;
    const int bpp = h.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    qint64 colors = h.biClrUsed;
    if (colors == 0)
        colors = bpp <= 8 ? (qint64(1) << bpp) : 0;
    if (colors > (bpp <= 8 ? (qint64(1) << bpp) : 256))
        return false;
    out.width = int(w);
    out.height = h.biHeight;
    out.bitCount = bpp;
    out.colorCount = int(colors);
    out.infoSize = 40 + colors * 4;
    out.stride = qint64(SPI_DIB_STRIDE(w, bpp));
    out.bitsSize = out.stride * absH;
    if (out.bitsSize > kMaxDecodeBytes)
        return false;
    return infoBytes >= out.infoSize && bitsBytes >= out.bitsSize;
}

QVector<QRgb> DibPalette(const void *info, const DibLayout &layout)
{
    QVector<QRgb> table;
    const auto *q = static_cast<const uchar *>(info) + 40;
    for (int i = 0; i < layout.colorCount; ++i, q += 4)
        table << qRgb(q[2], q[1], q[0]);
    if (layout.bitCount <= 8)
        while (table.size() < (1 << layout.bitCount))
            table << qRgb(0, 0, 0);
    return table;
}

QImage DibToImage(const void *info, const void *bits, const DibLayout &layout)
{
    QImage::Format format = QImage::Format_Indexed8;
    switch (layout.bitCount) {
    case 1:
        format = QImage::Format_Mono;
        break;
    case 16:
        format = QImage::Format_RGB555;
        break;
    case 24:
        format = QImage::Format_BGR888;
        break;
    case 32:
        format = QImage::Format_RGB32;
        break;
    default:
        break;
    }
    const int h = layout.height < 0 ? -layout.height : layout.height;
    QImage img(layout.width, h, format);
    if (img.isNull())
        return {};
    if (layout.bitCount <= 8)
        img.setColorTable(DibPalette(info, layout));
    const auto *src = static_cast<const uchar *>(bits);
    const bool bottomUp = layout.height > 0;
    for (int y = 0; y < h; ++y) {
        const uchar *row = src + layout.stride * (bottomUp ? h - 1 - y : y);
        uchar *dst = img.scanLine(y);
        switch (layout.bitCount) {
        case 4:
            for (int x = 0; x < layout.width; ++x)
                dst[x] = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
            break;
        case 16: // x555, little-endian, as the image format stores it
        case 1:
        case 8:
        case 24:
        case 32:
            std::memcpy(dst, row, size_t(std::min<qint64>(img.bytesPerLine(), layout.stride)));
            break;
        }
    }
    return img;
}

bool WriteDibAsBmp(QIODevice &out, const void *info, const void *bits, const DibLayout &layout)
{
    uchar fh[14];
    qToLittleEndian<quint16>(0x4D42, fh);
    qToLittleEndian<quint32>(quint32(14 + layout.infoSize + layout.bitsSize), fh + 2);
    qToLittleEndian<quint16>(0, fh + 6);
    qToLittleEndian<quint16>(0, fh + 8);
    qToLittleEndian<quint32>(quint32(14 + layout.infoSize), fh + 10);
    return out.write(reinterpret_cast<const char *>(fh), 14) == 14 &&
           out.write(static_cast<const char *>(info), layout.infoSize) == layout.infoSize &&
           out.write(static_cast<const char *>(bits), layout.bitsSize) == layout.bitsSize;
}
