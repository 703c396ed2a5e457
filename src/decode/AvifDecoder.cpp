// AVIF through libavif; its rotation and mirror properties are ours to apply.
#include "decode/ColourProfile.h"
#include "decode/DecodeLimits.h"
#include "decode/ExifOrientation.h"
#include "decode/FormatDecoders.h"
#include "decode/FrameSource.h"

#include <avif/avif.h>
#include <memory>

namespace
{

struct DecoderDestroy {
    void operator()(avifDecoder *d) const { avifDecoderDestroy(d); }
};

// irot turns counter-clockwise in quarter turns; imir then mirrors (mode 0:
// top and bottom exchanged, 1: left and right).
QImage transformed(QImage image, const avifImage *meta)
{
    if (meta->transformFlags & AVIF_TRANSFORM_IROT)
        image = RotateImage(image, (4 - meta->irot.angle % 4) % 4 * 90);
    if (meta->transformFlags & AVIF_TRANSFORM_IMIR)
        image = meta->imir.mode == 0 ? image.mirrored(false, true) : image.mirrored(true, false);
    return image;
}

// A decoder over data, parsed, its size checked against the budget from
// the header (ispe) before any frame is decoded: YUV planes, the AV1
// decoder's frame and our copy, about 8 bytes a pixel.
FormatResult openDecoder(QByteArrayView data, std::unique_ptr<avifDecoder, DecoderDestroy> &dec)
{
    if (!IsAvifData(data))
        return FormatResult::Broken;
    dec.reset(avifDecoderCreate());
    if (!dec)
        return FormatResult::Broken;
    dec->imageSizeLimit = uint32_t(qMin<qint64>(kMaxPicturePixels, kMaxDecodeBytes / 8));
    dec->imageDimensionLimit = 16384;
    dec->imageCountLimit = 10000;
    dec->ignoreXMP = AVIF_TRUE;
    dec->ignoreExif = AVIF_TRUE;             // the orientation is the container's, not Exif's
    dec->strictFlags = AVIF_STRICT_DISABLED; // pictures from the wild are often slightly off
    if (avifDecoderSetIOMemory(dec.get(), reinterpret_cast<const uint8_t *>(data.data()),
                               size_t(data.size())) != AVIF_RESULT_OK)
        return FormatResult::Broken;
    if (avifDecoderParse(dec.get()) != AVIF_RESULT_OK || !dec->image)
        return FormatResult::Broken;
    const QSize size(int(qMin<uint32_t>(dec->image->width, 1u << 30)),
                     int(qMin<uint32_t>(dec->image->height, 1u << 30)));
    if (!PictureSizeAllowed(size) || !DecodedSizeAllowed(size, 8))
        return FormatResult::TooLarge;
    return FormatResult::Ok;
}

// The next frame, upright, with its colour profile (still unapplied).
FormatResult nextFrame(avifDecoder *dec, QSize size, QImage &out, QByteArray &icc)
{
    if (avifDecoderNextImage(dec) != AVIF_RESULT_OK)
        return FormatResult::Broken;
    const avifImage *img = dec->image;
    if (int(img->width) != size.width() || int(img->height) != size.height())
        return FormatResult::Broken; // the frame is not what the header said
    const bool alpha = img->alphaPlane != nullptr;
    QImage result(size, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (result.isNull())
        return FormatResult::Broken;
    avifRGBImage rgb;
    avifRGBImageSetDefaults(&rgb, img);
    rgb.format = AVIF_RGB_FORMAT_BGRA; // QImage's 32-bit layout in memory
    rgb.depth = 8;
    rgb.pixels = result.bits();
    rgb.rowBytes = uint32_t(result.bytesPerLine());
    if (avifImageYUVToRGB(img, &rgb) != AVIF_RESULT_OK)
        return FormatResult::Broken;
    out = transformed(std::move(result), img);
    if (img->icc.size > 0 && img->icc.size < (4u << 20))
        icc = QByteArray(reinterpret_cast<const char *>(img->icc.data), qsizetype(img->icc.size));
    else
        icc = IccFromCicp(img->colorPrimaries, img->transferCharacteristics);
    return FormatResult::Ok;
}

class AvifFrames : public FrameSource
{
public:
    AvifFrames(const QByteArray &data, std::unique_ptr<avifDecoder, DecoderDestroy> dec)
        : data_(data), dec_(std::move(dec)), size_(int(dec_->image->width), int(dec_->image->height))
    {
        canvas_ = transformed(QImage(size_, QImage::Format_Mono), dec_->image).size();
    }
    QSize canvas() const override { return canvas_; }
    int loopCount() const override { return -1; } // the format keeps no count
    bool next(QImage &frame, int &delayMs) override
    {
        QByteArray icc;
        if (nextFrame(dec_.get(), size_, frame, icc) != FormatResult::Ok)
            return false;
        ConvertToDisplaySpace(frame, icc);
        delayMs = int(qBound(0.0, dec_->imageTiming.duration * 1000.0, 60000.0));
        return true;
    }

private:
    QByteArray data_; // the decoder reads from it
    std::unique_ptr<avifDecoder, DecoderDestroy> dec_;
    QSize size_, canvas_;
};

} // namespace

FormatResult DecodeAvif(QByteArrayView data, DecodedStill &out)
{
    std::unique_ptr<avifDecoder, DecoderDestroy> dec;
    const FormatResult opened = openDecoder(data, dec);
    if (opened != FormatResult::Ok)
        return opened;
    const QSize size(int(dec->image->width), int(dec->image->height));
    const FormatResult r = nextFrame(dec.get(), size, out.image, out.icc);
    out.animated = r == FormatResult::Ok && dec->imageCount > 1;
    return r;
}

std::unique_ptr<FrameSource> OpenAvifFrames(const QByteArray &data)
{
    std::unique_ptr<avifDecoder, DecoderDestroy> dec;
    if (openDecoder(data, dec) != FormatResult::Ok)
        return nullptr;
    return std::make_unique<AvifFrames>(data, std::move(dec));
}
