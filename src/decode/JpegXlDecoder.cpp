// JPEG XL through libjxl, which turns the picture by its orientation field.
#include "decode/DecodeLimits.h"
#include "decode/FormatDecoders.h"

#include <jxl/decode.h>
#include <memory>

namespace
{

struct DecoderDestroy {
    void operator()(JxlDecoder *d) const { JxlDecoderDestroy(d); }
};

// libjxl holds the frame as floating-point planes while decoding, beside
// the 8-bit picture handed out.
constexpr int kBytesPerPixel = 16;

} // namespace

FormatResult DecodeJpegXl(QByteArrayView data, DecodedStill &out)
{
    if (!IsJpegXlData(data))
        return FormatResult::Broken;
    std::unique_ptr<JxlDecoder, DecoderDestroy> dec(JxlDecoderCreate(nullptr));
    if (!dec)
        return FormatResult::Broken;
    if (JxlDecoderSubscribeEvents(dec.get(), JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING |
                                                 JXL_DEC_FULL_IMAGE) != JXL_DEC_SUCCESS)
        return FormatResult::Broken;
    if (JxlDecoderSetInput(dec.get(), reinterpret_cast<const uint8_t *>(data.data()), size_t(data.size())) !=
        JXL_DEC_SUCCESS)
        return FormatResult::Broken;
    JxlDecoderCloseInput(dec.get());

    JxlBasicInfo info{};
    QImage image;
    QByteArray icc;
    bool animated = false;
    const JxlPixelFormat format{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(dec.get());
        switch (status) {
        case JXL_DEC_BASIC_INFO: {
            if (JxlDecoderGetBasicInfo(dec.get(), &info) != JXL_DEC_SUCCESS)
                return FormatResult::Broken;
            if (info.xsize > 65535 || info.ysize > 65535)
                return FormatResult::TooLarge;
            QSize size(int(info.xsize), int(info.ysize));
            if (!PictureSizeAllowed(size) || !DecodedSizeAllowed(size, kBytesPerPixel))
                return FormatResult::TooLarge;
            if (info.orientation >= 5) // 5 to 8 exchange width and height
                size.transpose();
            image = QImage(size, info.alpha_bits ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
            if (image.isNull())
                return FormatResult::Broken;
            animated = info.have_animation;
            break;
        }
        case JXL_DEC_COLOR_ENCODING: {
            size_t size = 0;
            if (JxlDecoderGetICCProfileSize(dec.get(), nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &size) ==
                    JXL_DEC_SUCCESS &&
                size > 0 && size < (4u << 20)) {
                icc = QByteArray(qsizetype(size), Qt::Uninitialized);
                if (JxlDecoderGetColorAsICCProfile(dec.get(), nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                                   reinterpret_cast<uint8_t *>(icc.data()),
                                                   size) != JXL_DEC_SUCCESS)
                    icc.clear();
            }
            break;
        }
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
            size_t need = 0;
            if (image.isNull() ||
                JxlDecoderImageOutBufferSize(dec.get(), &format, &need) != JXL_DEC_SUCCESS ||
                need != size_t(image.sizeInBytes()) || image.bytesPerLine() != image.width() * 4)
                return FormatResult::Broken;
            if (JxlDecoderSetImageOutBuffer(dec.get(), &format, image.bits(), need) != JXL_DEC_SUCCESS)
                return FormatResult::Broken;
            break;
        }
        case JXL_DEC_FULL_IMAGE: // the first frame is all a still needs
            out.image = std::move(image);
            out.icc = icc;
            out.animated = animated;
            return FormatResult::Ok;
        case JXL_DEC_SUCCESS:         // ended without a frame
        case JXL_DEC_NEED_MORE_INPUT: // truncated
        case JXL_DEC_ERROR:
        default:
            return FormatResult::Broken;
        }
    }
}
