#include "decode/RawDecoder.h"

#include "decode/DecodeCancel.h"
#include "decode/DecodeLimits.h"
#include "decode/ExifOrientation.h"
#include "decode/JpegDecoder.h"
#include "decode/LoadPicture.h"

#include <libraw/libraw.h>
#include <memory>

namespace
{

void quietDataErrors(void *, const char *, const int) {}

// LibRaw asks between the stages of developing; non-zero stops it there.
int stopWhenCancelled(void *, enum LibRaw_progress, int, int)
{
    return DecodeCancelled() ? 1 : 0;
}

// LibRaw's flip to the Exif orientation value of the same turn.
int orientationOf(int flip)
{
    switch (flip) {
    case 3:
        return 3;
    case 5:
        return 8;
    case 6:
        return 6;
    default:
        return 1;
    }
}

// A preview is worth showing when it is about as large as the picture is
// shown, or large in its own right (half the RAW, or the size of a screen).
bool previewUsable(QSize preview, QSize raw, QSize shown)
{
    const int longSide = qMax(preview.width(), preview.height());
    const QSize want = shown.isEmpty() ? raw : FitDecodeSize(raw, shown);
    const int wantLong = qMax(want.width(), want.height());
    return longSide >= qMin(wantLong, 1280) || longSide * 2 >= qMax(raw.width(), raw.height());
}

FormatResult develop(LibRaw &raw, QSize shown, RawPicture &out)
{
    const libraw_image_sizes_t &s = raw.imgdata.sizes;
    const QSize rawSize(s.raw_width, s.raw_height);
    if (!PictureSizeAllowed(rawSize) || !PictureSizeAllowed(out.size))
        return FormatResult::TooLarge;
    // Half size averages each 2×2 block of the sensor: no interpolation,
    // and enough whenever the picture is shown at half its size or less.
    const QSize fit = shown.isEmpty() ? out.size : FitDecodeSize(out.size, shown);
    const bool half = fit.width() * 2 <= out.size.width() && fit.height() * 2 <= out.size.height();
    const qint64 pixels = qint64(out.size.width()) * out.size.height() / (half ? 4 : 1);
    // The sensor data (16 bits), the working image (4 × 16 bits), the
    // 8-bit result and our copy of it.
    const qint64 bytes = qint64(rawSize.width()) * rawSize.height() * 2 + pixels * (8 + 3 + 4);
    if (bytes > kMaxDecodeBytes)
        return FormatResult::TooLarge;
    raw.imgdata.params.half_size = half;
    raw.imgdata.params.user_flip = 0; // turned by the loader, like the preview
    raw.imgdata.params.use_camera_wb = 1;
    raw.imgdata.params.output_bps = 8;
    if (DecodeCancelled() || raw.unpack() != LIBRAW_SUCCESS || DecodeCancelled() ||
        raw.dcraw_process() != LIBRAW_SUCCESS)
        return FormatResult::Broken;
    int err = 0;
    libraw_processed_image_t *img = raw.dcraw_make_mem_image(&err);
    if (!img)
        return FormatResult::Broken;
    std::unique_ptr<libraw_processed_image_t, void (*)(libraw_processed_image_t *)> held(
        img, LibRaw::dcraw_clear_mem);
    if (img->type != LIBRAW_IMAGE_BITMAP || img->colors != 3 || img->bits != 8 || img->width == 0 ||
        img->height == 0 || qint64(img->data_size) < qint64(img->width) * img->height * 3)
        return FormatResult::Broken;
    QImage image(reinterpret_cast<const uchar *>(img->data), img->width, img->height, img->width * 3,
                 QImage::Format_RGB888);
    out.image = image.convertToFormat(QImage::Format_RGB32); // a copy: img is freed on return
    return out.image.isNull() ? FormatResult::Broken : FormatResult::Ok;
}

} // namespace

FormatResult DecodeRaw(QByteArrayView data, QSize area, bool turn, bool developRaw, RawPicture &out)
{
    if (data.size() < 16)
        return FormatResult::Broken;
    auto raw = std::make_unique<LibRaw>(); // large: never on a worker's stack
    raw->set_dataerror_handler(quietDataErrors, nullptr);
    raw->set_progress_handler(stopWhenCancelled, nullptr);
    raw->imgdata.params.max_raw_memory_mb = unsigned(kMaxDecodeBytes >> 20);
    // LibRaw only reads the buffer.
    if (raw->open_buffer(const_cast<char *>(data.data()), size_t(data.size())) != LIBRAW_SUCCESS)
        return FormatResult::Broken;
    const libraw_image_sizes_t &s = raw->imgdata.sizes;
    const QSize size(s.width, s.height);
    if (size.isEmpty())
        return FormatResult::Broken;
    out.size = size;
    out.orientation = orientationOf(s.flip);
    QSize shown = area; // as stored
    if (turn && OrientationRotation(out.orientation) % 180)
        shown.transpose();

    // The preview's size and length are known once the file is open, its
    // format only once it is read. One that claims more than the budget is
    // not read; the RAW itself may still be developed within it.
    const libraw_thumbnail_t &t = raw->imgdata.thumbnail;
    const QSize preview(t.twidth, t.theight);
    const bool withinBudget =
        t.tlength > 0 && qint64(t.tlength) <= kMaxDecodeBytes && qint64(t.tlength) <= data.size() &&
        (preview.isEmpty() || (PictureSizeAllowed(preview) && DecodedSizeAllowed(preview, 4)));
    if (!developRaw && withinBudget && (preview.isEmpty() || previewUsable(preview, out.size, shown)) &&
        raw->unpack_thumb() == LIBRAW_SUCCESS && t.thumb) {
        if (t.tformat == LIBRAW_THUMBNAIL_JPEG) {
            // Cameras often leave the preview's size to its own header.
            const QByteArrayView bytes(t.thumb, qsizetype(t.tlength));
            const QSize real = ReadJpegSize(bytes);
            if (!real.isValid() || previewUsable(real, out.size, shown)) {
                out.jpeg = bytes.toByteArray();
                return FormatResult::Ok;
            }
        } else if (t.tformat == LIBRAW_THUMBNAIL_BITMAP && t.tcolors == 3 && !preview.isEmpty() &&
                   qint64(t.tlength) >= qint64(t.twidth) * t.theight * 3) {
            const QImage image(reinterpret_cast<const uchar *>(t.thumb), t.twidth, t.theight, t.twidth * 3,
                               QImage::Format_RGB888);
            out.image = image.convertToFormat(QImage::Format_RGB32);
            if (!out.image.isNull())
                return FormatResult::Ok;
        }
    }
    return develop(*raw, shown, out);
}
