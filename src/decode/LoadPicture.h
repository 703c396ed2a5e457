#pragma once
// Reading a picture file into a PictureData.
#include "decode/PictureData.h"

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

struct LoadOptions {
    // Device pixels the picture is shown in (one display slot). A larger
    // picture is decoded only as large as it is shown when fitted into this
    // area (JPEG through DCT scaling); naturalSize stays the full size.
    // Empty: decode at full size.
    QSize maxSize;
    // Turn the picture upright while loading; ApplyExifOrientation is then a no-op.
    bool autoRotate = false;
    // A JPEG stays at its DCT-reduced size (still covering the fitted size);
    // the caller scales it exactly once that size is known.
    bool reducedOnly = false;
    // The built-in JPEG decoder only: for work started before the application
    // object exists, when Qt's image plug-ins cannot be loaded yet.
    bool jpegOnly = false;
};

// ".gif" in any letter case gives an animated picture; everything else is
// decoded by its content, whatever its extension. On any failure (missing,
// empty, unknown, corrupt or truncated file, or one beyond the decoding
// budget of DecodeLimits.h) returns false and leaves picture as it was.
// Safe to call from worker threads; never throws.
bool LoadPictureFile(const QString &path, PictureData &picture, const LoadOptions &options = {});

// Decoder tried when the built-in decoders cannot read a file (the plug-in
// host installs it). Calls are serialised, so it need not be thread-safe.
// An empty function removes it.
void setPluginDecoder(std::function<bool(const QString &path, QImage &out)> decoder);

// Size a picture of natural size w×h is shown at when fitted into area:
// the whole picture, as large as fits, never enlarged. Rounds like the
// display layout so a reduced decode matches the shown size exactly.
QSize FitDecodeSize(QSize natural, QSize area);

// Gives Qt's image readers the decoding budget as their allocation limit
// (process-wide; done on the first decode, idempotent).
void ApplyDecodeBudgetToQt();

// The canvas (logical screen) size from the first bytes of a GIF file;
// invalid when the data is not a GIF. Qt's reader reports the size of the
// first frame instead, which may be far smaller than what it allocates.
QSize GifCanvasSize(QByteArrayView header);

// True when the file name ends in ".gif" (any letter case).
bool HasGifExtension(const QString &path);
