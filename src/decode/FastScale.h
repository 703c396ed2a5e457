#pragma once
// Shrinking a picture to the size it is shown at, several times faster than
// QImage::scaled with Qt::SmoothTransformation and of the same kind: every
// target pixel is the average of the source pixels it covers, edge pixels
// weighted by how much of them it covers.
#include <QImage>
#include <QSize>

// `src` shrunk to `size`. 32-bit pictures (RGB32, ARGB32, premultiplied)
// take the fast path, on `threads` threads (this one and helpers); other
// formats, and any enlarging, go through QImage::scaled with smooth
// filtering. A null or empty input or size gives a null image.
QImage ShrinkImage(const QImage &src, QSize size, int threads = 1);
