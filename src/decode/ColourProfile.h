#pragma once
// Embedded colour profiles. A picture that carries one is converted to the
// display's colour space (sRGB unless a display profile was given) while it
// is decoded, on the decoding thread; a picture without one, or with one
// that already describes sRGB, is left as it is at no extra cost.
#include <QByteArray>
#include <QByteArrayView>
#include <QImage>

// The ICC profile of JPEG data (APP2 "ICC_PROFILE" chunks joined in order);
// empty when there is none or its chunks do not add up.
QByteArray ReadJpegIccProfile(QByteArrayView jpeg);

// An ICC profile for the coded colour description of HEIF, AVIF and the like
// (ITU-T H.273 colour primaries and transfer characteristics); empty for
// sRGB and for descriptions not converted here (HDR transfers among them).
QByteArray IccFromCicp(int primaries, int transfer);

// Converts image from the colour space of the ICC profile into the
// display's. True when the pixels changed. An empty, unreadable or sRGB
// profile, or one whose colour model does not match the image (a CMYK
// profile on decoded RGB), leaves image untouched. Safe on any thread.
bool ConvertToDisplaySpace(QImage &image, const QByteArray &icc);

// The display's own profile; empty means sRGB. Pictures decoded afterwards
// are converted into it.
void SetDisplayProfile(const QByteArray &icc);
