#pragma once
// Shrinking a picture to the size it is shown at, several times faster than
// QImage::scaled with Qt::SmoothTransformation and of the same kind: every
// target pixel is the average of the source pixels it covers, edge pixels
// weighted by how much of them it covers.
#include <QImage>
#include <QSize>
#include <memory>

// `src` shrunk to `size`. 32-bit pictures (RGB32, ARGB32, premultiplied)
// take the fast path, on `threads` threads (this one and helpers); other
// formats, and any enlarging, go through QImage::scaled with smooth
// filtering. A null or empty input or size gives a null image.
QImage ShrinkImage(const QImage &src, QSize size, int threads = 1);

// The same shrink fed one source row at a time, top to bottom, as a decoder
// produces them: the full-size picture never needs to exist. For RGB32 and
// premultiplied ARGB32 pictures at least two pixels wide, shrinking (or
// keeping) both sides; anything else is refused.
class RowShrinker
{
public:
    RowShrinker(QSize from, QSize to, QImage::Format format = QImage::Format_RGB32);
    ~RowShrinker();
    RowShrinker(const RowShrinker &) = delete;
    RowShrinker &operator=(const RowShrinker &) = delete;

    // False when the sizes or format were refused or memory ran out.
    bool accepted() const;
    // The next source row: from.width() pixels of 32 bits.
    void addRow(const uchar *row);
    // The shrunk picture once every source row is in; null before, or when
    // the sizes or format were refused or the memory ran out.
    QImage result() const;

private:
    struct State;
    std::unique_ptr<State> d;
};
