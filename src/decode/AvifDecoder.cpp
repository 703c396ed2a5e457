// AVIF through libavif; its rotation and mirror properties are ours to apply.
#include "decode/ColourProfile.h"
#include "decode/DecodeLimits.h"
#include "decode/ExifOrientation.h"
#include "decode/FormatDecoders.h"

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

} // namespace

FormatResult DecodeAvif(QByteArrayView data, DecodedStill &out)
{
    if (!IsAvifData(data))
        return FormatResult::Broken;
    std::unique_ptr<avifDecoder, DecoderDestroy> dec(avifDecoderCreate());
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
    const avifResult parsed = avifDecoderParse(dec.get());
    if (parsed != AVIF_RESULT_OK || !dec->image)
        return FormatResult::Broken;
    // Checked from the header (ispe) before the first frame is decoded;
    // YUV planes, the AV1 decoder's frame and our copy: about 8 bytes a pixel.
    const QSize size(int(qMin<uint32_t>(dec->image->width, 1u << 30)),
                     int(qMin<uint32_t>(dec->image->height, 1u << 30)));
    if (!PictureSizeAllowed(size) || !DecodedSizeAllowed(size, 8))
        return FormatResult::TooLarge;
    if (avifDecoderNextImage(dec.get()) != AVIF_RESULT_OK)
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
    out.image = transformed(std::move(result), img);
    if (img->icc.size > 0 && img->icc.size < (4u << 20))
        out.icc = QByteArray(reinterpret_cast<const char *>(img->icc.data), qsizetype(img->icc.size));
    else
        out.icc = IccFromCicp(img->colorPrimaries, img->transferCharacteristics);
    out.animated = dec->imageCount > 1;
    return FormatResult::Ok;
}
