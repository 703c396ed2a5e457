#pragma once
// Checks and converts the device-independent bitmaps that import filters return.
#include "decode/DecodeLimits.h"
#include "spi_sdk.h"

#include <QIODevice>
#include <QImage>
#include <QVector>

// What the BITMAPINFO of a checked DIB implies.
struct DibLayout {
    int width = 0;
    int height = 0; // biHeight, sign kept: positive = bottom-up rows
    int bitCount = 0;
    int colorCount = 0;  // entries of the colour table
    qint64 infoSize = 0; // 40 + colorCount * 4
    qint64 stride = 0;   // bytes per row, padded to 32 bits
    qint64 bitsSize = 0; // stride * |height|
};

// Largest side and pixel count accepted from a plug-in: the decoding
// budget every decoder shares (the pixel block must fit it as well).
constexpr qint64 kMaxDibSide = 1 << 17;
constexpr qint64 kMaxDibPixels = kMaxPicturePixels;

// Reads the layout of a BITMAPINFO block and checks it against the block sizes.
// False for anything a reader could not safely use: a header that is not the
// 40-byte one, compression, a zero or absurd size, an unknown bit count, a
// colour table that does not fit, a pixel block shorter than the rows, or
// a picture beyond the decoding budget.
bool CheckDib(const void *info, qint64 infoBytes, qint64 bitsBytes, DibLayout &out);

// The colour table of a checked DIB, padded with black to the full index range.
QVector<QRgb> DibPalette(const void *info, const DibLayout &layout);

// Converts a checked DIB into an image (indexed formats keep their palette).
QImage DibToImage(const void *info, const void *bits, const DibLayout &layout);

// Writes the BMP file image of a checked DIB: file header, BITMAPINFO, bits.
bool WriteDibAsBmp(QIODevice &out, const void *info, const void *bits, const DibLayout &layout);
