#pragma once
// One decoded picture as the display slots hold it.
#include <QImage>
#include <QSize>
#include <QString>

struct PictureData {
    // The decoded pixels. May be smaller than naturalSize when the file was
    // decoded at a reduced scale for the size it is shown at.
    QImage image;
    // Full pixel size of the picture, after orientation once it was applied.
    // This is what the layout measures.
    QSize naturalSize;
    QString path;
    // A GIF: the view plays it from the file; image holds its first frame.
    bool animated = false;
    // Orientation tag found in the file (0 when there is none or it is not a SHORT).
    int orientation = 0;
    // The orientation step already ran on this picture (it must not run twice).
    bool orientationApplied = false;

    bool isNull() const { return image.isNull(); }
    int width() const { return naturalSize.width(); }
    int height() const { return naturalSize.height(); }
    void clear() { *this = PictureData(); }
};
