#pragma once
// Where an animation's frames come from: Qt's readers (GIF and the like),
// or the AVIF and JPEG XL decoders for their animated files. Frames come
// upright and in the display's colours, each on the whole canvas.
#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <memory>

class FrameSource
{
public:
    virtual ~FrameSource() = default;
    // The size every frame is drawn at; invalid when the header gives none.
    virtual QSize canvas() const = 0;
    // Further passes after the first; negative: for ever.
    virtual int loopCount() const = 0;
    // The next frame and its delay in milliseconds (before any clamping);
    // false after the last frame or on a broken one.
    virtual bool next(QImage &frame, int &delayMs) = 0;
};

// The frames of the file at path, decided by its content; null when the
// file cannot be read.
std::unique_ptr<FrameSource> OpenFrameSource(const QString &path);

// The animated formats' own sources over a file's bytes (kept by them).
std::unique_ptr<FrameSource> OpenAvifFrames(const QByteArray &data);
std::unique_ptr<FrameSource> OpenJpegXlFrames(const QByteArray &data);
