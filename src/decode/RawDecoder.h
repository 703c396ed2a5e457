#pragma once
// Camera RAW files through LibRaw. What is shown is the largest preview the
// camera embedded (a JPEG, decoded by the JPEG path at the size shown): it
// is what the camera made of the RAW and takes milliseconds where
// developing the RAW takes seconds. The RAW is developed only when it holds
// no usable preview, and then no larger than it is shown.
#include "decode/FormatDecoders.h"
#include "decode/FormatNames.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

struct RawPicture {
    QByteArray jpeg;     // the embedded preview, when it is used
    QImage image;        // otherwise the preview's pixels or the developed RAW
    QSize size;          // the RAW's own size, as stored (before orientation)
    int orientation = 0; // as an Exif orientation value (1, 3, 6, 8; 0 unknown)
};

// Reads a RAW file's data. area: what the picture is shown in (empty: full
// size), upright when turn is set, for choosing between preview and
// development. develop: skip the preview (it turned out broken). Broken
// when LibRaw does not read the data (out.size stays empty then) or the
// RAW does not develop; TooLarge when it would be developed beyond the
// decoding budget.
FormatResult DecodeRaw(QByteArrayView data, QSize area, bool turn, bool develop, RawPicture &out);

// Reads up to len bytes of a file at offset into dst: the number read, 0 at
// the end, negative on an error. May be called from the decoding thread only.
using RawReader = std::function<qint64(qint64 offset, char *dst, qint64 len)>;

// The same from a file of size bytes, of which only what LibRaw needs is
// read: the headers and the preview, or all of it when developing.
FormatResult DecodeRawFrom(const RawReader &read, qint64 size, QSize area, bool turn, bool develop,
                           RawPicture &out);
