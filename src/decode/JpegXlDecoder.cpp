// JPEG XL through libjxl, which turns the picture by its orientation field.
#include "decode/ColourProfile.h"
#include "decode/DecodeLimits.h"
#include "decode/FormatDecoders.h"
#include "decode/FrameSource.h"

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

// Walks the frames of a JPEG XL file: the header (size checked against the
// budget before anything is decoded), the colour profile, then one frame
// per call.
class JxlReader
{
public:
    explicit JxlReader(const QByteArray &data) : data_(data) {}

    FormatResult open()
    {
        if (!IsJpegXlData(data_))
            return FormatResult::Broken;
        dec_.reset(JxlDecoderCreate(nullptr));
        if (!dec_ ||
            JxlDecoderSubscribeEvents(dec_.get(), JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING |
                                                      JXL_DEC_FRAME | JXL_DEC_FULL_IMAGE) !=
                JXL_DEC_SUCCESS ||
            JxlDecoderSetInput(dec_.get(), reinterpret_cast<const uint8_t *>(data_.constData()),
                               size_t(data_.size())) != JXL_DEC_SUCCESS)
            return FormatResult::Broken;
        JxlDecoderCloseInput(dec_.get());
        // Up to the header and colour profile; the first frame starts next.
        for (;;) {
            const JxlDecoderStatus status = JxlDecoderProcessInput(dec_.get());
            if (status == JXL_DEC_BASIC_INFO) {
                if (JxlDecoderGetBasicInfo(dec_.get(), &info_) != JXL_DEC_SUCCESS)
                    return FormatResult::Broken;
                if (info_.xsize > 65535 || info_.ysize > 65535)
                    return FormatResult::TooLarge;
                size_ = QSize(int(info_.xsize), int(info_.ysize));
                if (!PictureSizeAllowed(size_) || !DecodedSizeAllowed(size_, kBytesPerPixel))
                    return FormatResult::TooLarge;
                if (info_.orientation >= 5) // 5 to 8 exchange width and height
                    size_.transpose();
            } else if (status == JXL_DEC_COLOR_ENCODING) {
                size_t size = 0;
                if (JxlDecoderGetICCProfileSize(dec_.get(), nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &size) ==
                        JXL_DEC_SUCCESS &&
                    size > 0 && size < (4u << 20)) {
                    icc_ = QByteArray(qsizetype(size), Qt::Uninitialized);
                    if (JxlDecoderGetColorAsICCProfile(dec_.get(), nullptr, JXL_COLOR_PROFILE_TARGET_DATA,
                                                       reinterpret_cast<uint8_t *>(icc_.data()),
                                                       size) != JXL_DEC_SUCCESS)
                        icc_.clear();
                }
                return size_.isValid() ? FormatResult::Ok : FormatResult::Broken;
            } else {
                return FormatResult::Broken;
            }
        }
    }

    // The next frame as decoded (not yet colour-converted) and its delay.
    bool next(QImage &frame, int &delayMs)
    {
        const JxlPixelFormat format{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
        QImage image;
        for (;;) {
            switch (JxlDecoderProcessInput(dec_.get())) {
            case JXL_DEC_FRAME: {
                JxlFrameHeader header{};
                delayMs = 0;
                if (JxlDecoderGetFrameHeader(dec_.get(), &header) == JXL_DEC_SUCCESS &&
                    info_.animation.tps_numerator > 0)
                    delayMs = int(qMin<quint64>(60000, quint64(header.duration) * 1000 *
                                                           info_.animation.tps_denominator /
                                                           info_.animation.tps_numerator));
                break;
            }
            case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
                // A new picture for every frame: the last one may still be shown.
                image = QImage(size_, info_.alpha_bits ? QImage::Format_RGBA8888 : QImage::Format_RGBX8888);
                size_t need = 0;
                if (image.isNull() ||
                    JxlDecoderImageOutBufferSize(dec_.get(), &format, &need) != JXL_DEC_SUCCESS ||
                    need != size_t(image.sizeInBytes()) || image.bytesPerLine() != image.width() * 4 ||
                    JxlDecoderSetImageOutBuffer(dec_.get(), &format, image.bits(), need) != JXL_DEC_SUCCESS)
                    return false;
                break;
            }
            case JXL_DEC_FULL_IMAGE:
                if (image.isNull())
                    return false;
                frame = std::move(image);
                return true;
            default: // the end, truncated data or an error
                return false;
            }
        }
    }

    QSize size() const { return size_; }
    const QByteArray &icc() const { return icc_; }
    const JxlBasicInfo &info() const { return info_; }

private:
    QByteArray data_; // the decoder reads from it
    std::unique_ptr<JxlDecoder, DecoderDestroy> dec_;
    JxlBasicInfo info_{};
    QSize size_;
    QByteArray icc_;
};

class JxlFrames : public FrameSource
{
public:
    explicit JxlFrames(std::unique_ptr<JxlReader> reader) : reader_(std::move(reader)) {}
    QSize canvas() const override { return reader_->size(); }
    int loopCount() const override
    {
        const uint32_t loops = reader_->info().animation.num_loops;
        return loops == 0 ? -1 : int(qMin<uint32_t>(loops - 1, 1000000));
    }
    bool next(QImage &frame, int &delayMs) override
    {
        if (!reader_->next(frame, delayMs))
            return false;
        ConvertToDisplaySpace(frame, reader_->icc());
        return true;
    }

private:
    std::unique_ptr<JxlReader> reader_;
};

} // namespace

FormatResult DecodeJpegXl(QByteArrayView data, DecodedStill &out)
{
    JxlReader reader(data.toByteArray());
    const FormatResult opened = reader.open();
    if (opened != FormatResult::Ok)
        return opened;
    int delay = 0;
    if (!reader.next(out.image, delay))
        return FormatResult::Broken;
    out.icc = reader.icc();
    out.animated = reader.info().have_animation;
    return FormatResult::Ok;
}

std::unique_ptr<FrameSource> OpenJpegXlFrames(const QByteArray &data)
{
    auto reader = std::make_unique<JxlReader>(data);
    if (reader->open() != FormatResult::Ok)
        return nullptr;
    return std::make_unique<JxlFrames>(std::move(reader));
}
