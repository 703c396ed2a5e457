// HEIF/HEIC through libheif, which applies the rotation and mirror
// properties itself.
#include "decode/ColourProfile.h"
#include "decode/DecodeLimits.h"
#include "decode/FormatDecoders.h"

#include <cstring>
#include <libheif/heif.h>
#include <memory>

namespace
{

struct ContextFree {
    void operator()(heif_context *c) const { heif_context_free(c); }
};
struct HandleRelease {
    void operator()(heif_image_handle *h) const { heif_image_handle_release(h); }
};
struct ImageRelease {
    void operator()(heif_image *i) const { heif_image_release(i); }
};
struct OptionsFree {
    void operator()(heif_decoding_options *o) const { heif_decoding_options_free(o); }
};

QByteArray profileOf(const heif_image_handle *handle)
{
    switch (heif_image_handle_get_color_profile_type(handle)) {
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
        const size_t size = heif_image_handle_get_raw_color_profile_size(handle);
        if (size == 0 || size > (4u << 20))
            return {};
        QByteArray icc(qsizetype(size), Qt::Uninitialized);
        if (heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok)
            return {};
        return icc;
    }
    case heif_color_profile_type_nclx: {
        heif_color_profile_nclx *nclx = nullptr;
        if (heif_image_handle_get_nclx_color_profile(handle, &nclx).code != heif_error_Ok || !nclx)
            return {};
        const QByteArray icc = IccFromCicp(nclx->color_primaries, nclx->transfer_characteristics);
        heif_nclx_color_profile_free(nclx);
        return icc;
    }
    default:
        return {};
    }
}

quint64 readBe(const uchar *p, int bytes)
{
    quint64 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | p[i];
    return v;
}

// The box of the given type among the boxes in [from, to); false when absent.
bool findBox(const uchar *base, qsizetype from, qsizetype to, const char *type, qsizetype &start,
             qsizetype &end)
{
    for (qsizetype o = from; o + 8 <= to;) {
        quint64 size = readBe(base + o, 4);
        qsizetype header = 8;
        if (size == 1) {
            if (o + 16 > to)
                return false;
            size = readBe(base + o + 8, 8);
            header = 16;
        } else if (size == 0) {
            size = quint64(to - o);
        }
        if (size < quint64(header) || size > quint64(to - o))
            return false;
        if (std::memcmp(base + o + 4, type, 4) == 0) {
            start = o + header;
            end = o + qsizetype(size);
            return true;
        }
        o += qsizetype(size);
    }
    return false;
}

// How many items the file declares (its 'iinf' count); 0 when unreadable.
quint64 itemCount(QByteArrayView data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.data());
    qsizetype metaStart, metaEnd, start, end;
    if (!findBox(p, 0, data.size(), "meta", metaStart, metaEnd) ||
        !findBox(p, metaStart + 4, metaEnd, "iinf", start, end) || end - start < 6)
        return 0;
    return p[start] == 0 ? readBe(p + start + 4, 2) : readBe(p + start + 4, 4);
}

// Every tile of a grid is decoded separately and costs its decoder's
// start-up even when its data is nonsense; a picture as large as the budget
// in 512 × 512 tiles, with its thumbnails and metadata, has fewer items.
constexpr quint64 kMaxItems = 2048;

} // namespace

FormatResult DecodeHeif(QByteArrayView data, DecodedStill &out)
{
    if (!IsHeifData(data))
        return FormatResult::Broken;
    if (itemCount(data) > kMaxItems)
        return FormatResult::TooLarge;
    std::unique_ptr<heif_context, ContextFree> ctx(heif_context_alloc());
    if (!ctx)
        return FormatResult::Broken;
    heif_context_set_maximum_image_size_limit(ctx.get(), 16384);
    const heif_error read =
        heif_context_read_from_memory_without_copy(ctx.get(), data.data(), size_t(data.size()), nullptr);
    if (read.subcode == heif_suberror_Security_limit_exceeded)
        return FormatResult::TooLarge; // larger than the limit above
    if (read.code != heif_error_Ok)
        return FormatResult::Broken;
    heif_image_handle *h = nullptr;
    if (heif_context_get_primary_image_handle(ctx.get(), &h).code != heif_error_Ok || !h)
        return FormatResult::Broken;
    std::unique_ptr<heif_image_handle, HandleRelease> handle(h);

    // The size after rotation; a grid's is the whole grid's, so a grid of
    // many tiles is refused here before any tile is decoded.
    const QSize size(heif_image_handle_get_width(h), heif_image_handle_get_height(h));
    const QSize coded(heif_image_handle_get_ispe_width(h), heif_image_handle_get_ispe_height(h));
    if (!PictureSizeAllowed(size) || !DecodedSizeAllowed(size, 8) ||
        (coded.isValid() && !(PictureSizeAllowed(coded) && DecodedSizeAllowed(coded, 8))))
        return FormatResult::TooLarge;

    const bool alpha = heif_image_handle_has_alpha_channel(h);
    std::unique_ptr<heif_decoding_options, OptionsFree> options(heif_decoding_options_alloc());
    heif_image *img = nullptr;
    const heif_error err =
        heif_decode_image(h, &img, heif_colorspace_RGB,
                          alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    if (err.code != heif_error_Ok || !img)
        return FormatResult::Broken;
    std::unique_ptr<heif_image, ImageRelease> image(img);
    const int w = heif_image_get_width(img, heif_channel_interleaved);
    const int h2 = heif_image_get_height(img, heif_channel_interleaved);
    int stride = 0;
    const uint8_t *plane = heif_image_get_plane_readonly(img, heif_channel_interleaved, &stride);
    const int bpp = alpha ? 4 : 3;
    if (!plane || w <= 0 || h2 <= 0 || w > size.width() * 2 || h2 > size.height() * 2 || stride < w * bpp)
        return FormatResult::Broken;
    QImage result(w, h2, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    if (result.isNull())
        return FormatResult::Broken;
    for (int y = 0; y < h2; ++y)
        std::memcpy(result.scanLine(y), plane + qsizetype(y) * stride, size_t(w) * bpp);
    out.image = std::move(result);
    out.icc = profileOf(h);
    out.animated = false;
    return FormatResult::Ok;
}
