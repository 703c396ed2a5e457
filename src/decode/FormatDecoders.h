#pragma once
// Decoders for the formats Qt has no reader for here: HEIF/HEIC (libheif),
// AVIF (libavif) and JPEG XL (libjxl). Each recognises its data by content,
// checks the picture's size against the decoding budget (DecodeLimits.h)
// from the header before it decodes anything, and returns the first picture
// upright: these formats define their orientation themselves (HEIF's and
// AVIF's rotation and mirror properties, JPEG XL's orientation field), so
// it is applied whatever the viewer's rotation switch says. The colour
// profile the pixels are in comes back beside them, still unapplied.
#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

enum class FormatResult {
    Ok,
    Broken,   // corrupt, truncated or not decodable here
    TooLarge, // beyond the decoding budget: refused before decoding
};

struct DecodedStill {
    QImage image;          // upright, full size
    QByteArray icc;        // the pixels' colour profile; empty for sRGB or unknown
    bool animated = false; // more frames follow the first (AVIF and JPEG XL)
};

bool IsHeifData(QByteArrayView data);
bool IsAvifData(QByteArrayView data);
bool IsJpegXlData(QByteArrayView data);

FormatResult DecodeHeif(QByteArrayView data, DecodedStill &out);
FormatResult DecodeAvif(QByteArrayView data, DecodedStill &out);
FormatResult DecodeJpegXl(QByteArrayView data, DecodedStill &out);
