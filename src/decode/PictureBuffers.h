#pragma once
// Pixel memory for decoded pictures, used again instead of given back.
//
// A picture at screen size is several megabytes. Freshly mapped memory is
// filled page by page through the kernel on first write, which on some
// machines (virtual ones above all) costs more than decoding the picture.
// Stepping through a folder frees one picture and decodes another of much
// the same size at every step: the freed pixels are kept, a few of them, and
// handed to the next picture whose size they fit.
#include <QImage>
#include <QSize>

// An image of `size` and a 32-bit `format` whose pixels may come from a
// picture freed earlier: its contents are undefined and must all be
// written. Null when the size is empty or the memory is not there. Other
// formats get a plain QImage.
QImage NewPictureImage(QSize size, QImage::Format format);

struct PictureBufferCounters {
    int fresh = 0;         // blocks allocated anew
    int reused = 0;        // blocks handed out again
    qint64 spareBytes = 0; // held for reuse now
};
PictureBufferCounters PictureBuffers();

// Gives every held block back (tests; when memory is wanted elsewhere).
void DropSparePictureBuffers();
