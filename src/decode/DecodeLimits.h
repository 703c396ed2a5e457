#pragma once
// The one decoding budget, for the shown picture and the ones decoded ahead
// alike. A picture file comes from anywhere: a few hundred bytes can declare
// a 65500×65500 picture, so every limit is checked from the header before
// a decoder allocates anything.
//
// - kMaxDecodeBytes: what one decode may allocate, the decoded image and
//   the decoder's working memory (libjpeg's coefficient buffers for
//   progressive files). Qt's readers get it as their allocation limit.
//   Files larger than this are refused before they are read: no picture we
//   would decode needs more encoded bytes than decoded ones.
// - kMaxPicturePixels: the largest picture, 16384×16384. With DCT scaling a
//   JPEG larger than the budget still decodes at the shown size, but the
//   time spent grows with the full size, so the cap stays on the full size.
// - kMaxAnimationPixels: an animation decodes and paints a whole canvas on
//   every frame on the interface thread; larger canvases show their first
//   frame as a still picture.
// - Frame delays of 10 ms or less become 100 ms, as web browsers do: such
//   delays are written by tools that meant "as fast as possible", and a zero
//   delay would otherwise keep a core busy for ever.
// - kMaxAnimationPixelsPerSecond: frames of large canvases are held longer,
//   so that playing never redraws more than this (about a fifth of a core):
//   a 1920×1080 animation still plays at 50 frames a second, a 4096×4096
//   one at six.
#include <QSize>
#include <QtGlobal>

constexpr qint64 kMaxDecodeBytes = 256ll << 20;
constexpr qint64 kMaxPicturePixels = qint64(16384) * 16384;
constexpr qint64 kMaxAnimationPixels = qint64(4096) * 4096;
constexpr qint64 kMaxAnimationPixelsPerSecond = 100'000'000;
constexpr int kMinFrameDelayMs = 11;
constexpr int kTinyFrameDelayReplacementMs = 100;

// A picture of this stored size may be decoded.
inline bool PictureSizeAllowed(QSize size)
{
    return size.width() > 0 && size.height() > 0 && qint64(size.width()) * size.height() <= kMaxPicturePixels;
}

// A decoded image of this size and depth fits the budget.
inline bool DecodedSizeAllowed(QSize size, int bytesPerPixel = 4)
{
    return size.width() > 0 && size.height() > 0 &&
           qint64(size.width()) * size.height() * bytesPerPixel <= kMaxDecodeBytes;
}

// An animation of this canvas size may play.
inline bool AnimationSizeAllowed(QSize size)
{
    return size.width() > 0 && size.height() > 0 &&
           qint64(size.width()) * size.height() <= kMaxAnimationPixels;
}

// The delay an animation frame is shown for.
inline int ClampFrameDelay(int delayMs)
{
    return delayMs < kMinFrameDelayMs ? kTinyFrameDelayReplacementMs : delayMs;
}

// The same on a canvas of this size, held to the redraw rate.
inline int ClampFrameDelay(int delayMs, QSize canvas)
{
    const qint64 pixels = qint64(qMax(0, canvas.width())) * qMax(0, canvas.height());
    const qint64 least = (pixels * 1000 + kMaxAnimationPixelsPerSecond - 1) / kMaxAnimationPixelsPerSecond;
    return int(qMax<qint64>(ClampFrameDelay(delayMs), least));
}
