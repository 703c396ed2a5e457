#pragma once
// Direct libjpeg-turbo decoding for the common case, faster than going
// through QImageReader: DCT scaling in eighths straight to the shown size,
// output written into the QImage with no conversion pass, and a cut-off
// file reported as broken instead of padded with grey.
#include <QByteArrayView>
#include <QImage>
#include <QSize>

enum class JpegResult {
    Ok,
    Broken,      // corrupt or truncated data
    Unsupported, // not handled here (CMYK and the like): use the general reader
    TooLarge     // beyond the decoding budget (DecodeLimits.h): refused unread
};

// Decodes JPEG data. target is the size wanted in stored orientation (empty:
// full size); the picture is decoded at the smallest DCT scale at or above
// it and then, when `exact`, shrunk to it. natural receives the stored size.
// The size is checked from the header before anything is allocated, and
// libjpeg's own working memory is held to the decoding budget.
JpegResult DecodeJpeg(QByteArrayView data, QSize target, QImage &out, QSize &natural, bool exact = true);

// Stored size from the header only; invalid when unreadable.
QSize ReadJpegSize(QByteArrayView data);
