#pragma once
// The Orientation tag (0x0112) of a picture file and turning a decoded
// picture upright by it. Only the turns are corrected (3, 6, 8); mirrored
// orientations and unknown values leave the picture as decoded.
#include "decode/PictureData.h"

#include <QByteArrayView>
#include <QImage>
#include <QString>

// Orientation value from the file data (JPEG APP1, TIFF IFD0, PNG eXIf,
// WebP EXIF). 0 when there is no tag, the tag is not of type SHORT, or the
// data cannot be parsed.
int ReadExifOrientation(QByteArrayView data);
// Same, reading only the parts of the file it needs. 0 when unreadable.
int ReadExifOrientationFile(const QString &path);

// Clockwise turn in degrees for an orientation value: 180 for 3, 90 for 6,
// 270 for 8, 0 for everything else.
int OrientationRotation(int orientation);

// The image turned clockwise by 0, 90, 180 or 270 degrees (exact, no resampling).
QImage RotateImage(const QImage &image, int degrees);

// Turns the picture upright by the orientation tag of the file at path.
// Runs at most once per picture; a picture loaded from the same path
// reuses the tag read while loading instead of reading the file again.
void ApplyExifOrientation(PictureData &picture, const QString &path);
