#include "decode/RawDecoder.h"

#include "decode/DecodeCancel.h"
#include "decode/DecodeLimits.h"
#include "decode/ExifOrientation.h"
#include "decode/JpegDecoder.h"
#include "decode/LoadPicture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <libraw/libraw.h>
#include <memory>
#include <vector>

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

// LibRaw's view of a RAW file: only the bytes it asks for are read (the
// headers and the preview, not the whole sensor data), through a block
// cache, as LibRaw reads its headers a few bytes at a time. A file that
// ends early, or shrinks while read, simply ends: no mapping, no signal.
class ReaderStream final : public LibRaw_abstract_datastream
{
public:
    ReaderStream(const RawReader &read, qint64 size) : m_read(read), m_size(qMax<qint64>(size, 0)) {}

    int valid() override { return 1; }
    INT64 size() override { return m_size; }
    INT64 tell() override { return m_pos; }
    int eof() override { return m_pos >= m_size; }
    void *make_jas_stream() override { return nullptr; }

    int seek(INT64 offset, int whence) override
    {
        qint64 base = 0;
        if (whence == SEEK_CUR)
            base = m_pos;
        else if (whence == SEEK_END)
            base = m_size;
        else if (whence != SEEK_SET)
            return -1;
        // Clamped like LibRaw's own memory stream; no overflow on hostile offsets.
        if (offset < 0)
            m_pos = offset < -base ? 0 : base + offset;
        else
            m_pos = offset > m_size - base ? m_size : base + offset;
        return 0;
    }

    int read(void *ptr, size_t itemSize, size_t count) override
    {
        if (itemSize == 0 || count == 0 || m_pos >= m_size)
            return 0;
        if (count > size_t(m_size) / itemSize + 1)
            count = size_t(m_size) / itemSize + 1;
        const qint64 want = qMin(qint64(itemSize * count), m_size - m_pos);
        const qint64 got = copyOut(static_cast<char *>(ptr), want);
        m_pos += got;
        return int((got + qint64(itemSize) - 1) / qint64(itemSize));
    }

    int get_char() override
    {
        if (m_pos >= m_size)
            return -1;
        if (!inBlock(m_pos) && !fill(m_pos))
            return -1;
        return uchar(m_block[size_t(m_pos++ - m_blockStart)]);
    }

    char *gets(char *s, int room) override
    {
        if (room <= 0 || m_pos >= m_size)
            return nullptr;
        int n = 0;
        while (n < room - 1) {
            const int c = get_char();
            if (c < 0)
                break;
            s[n++] = char(c);
            if (c == '\n')
                break;
        }
        s[n] = 0;
        return s;
    }

    int scanf_one(const char *format, void *value) override
    {
        // One short field (a number): parsed from a terminated copy, never
        // from the file's bytes in place.
        char text[32] = {};
        const qint64 start = m_pos;
        const qint64 got = copyOut(text, qMin<qint64>(sizeof text - 1, m_size - m_pos));
        text[got] = 0;
        const int r = std::sscanf(text, format, value);
        if (r > 0) {
            int skipped = 0;
            while (m_pos - start < got) {
                ++m_pos;
                ++skipped;
                const char c = text[m_pos - start];
                if (c == 0 || c == ' ' || c == '\t' || c == '\n' || skipped > 24)
                    break;
            }
        }
        return r;
    }

private:
    static constexpr qint64 kBlock = 64 * 1024;

    bool inBlock(qint64 at) const { return at >= m_blockStart && at < m_blockStart + m_blockLength; }

    bool fill(qint64 at)
    {
        if (m_block.empty())
            m_block.resize(size_t(kBlock));
        const qint64 got = m_read(at, m_block.data(), qMin(kBlock, m_size - at));
        m_blockStart = at;
        m_blockLength = qMax<qint64>(got, 0);
        return m_blockLength > 0;
    }

    // Copies len bytes from the current position without moving it; the
    // number copied (fewer where the file ends early).
    qint64 copyOut(char *dst, qint64 len)
    {
        qint64 done = 0;
        while (done < len) {
            const qint64 at = m_pos + done;
            if (!inBlock(at)) {
                if (len - done >= kBlock) { // a large run (the preview): straight in
                    const qint64 got = m_read(at, dst + done, len - done);
                    return got > 0 ? done + got : done;
                }
                if (!fill(at))
                    return done;
            }
            const qint64 n = qMin(len - done, m_blockStart + m_blockLength - at);
            std::memcpy(dst + done, m_block.data() + (at - m_blockStart), size_t(n));
            done += n;
        }
        return done;
    }

    const RawReader &m_read;
    const qint64 m_size;
    qint64 m_pos = 0;
    std::vector<char> m_block;
    qint64 m_blockStart = 0;
    qint64 m_blockLength = 0;
};

} // namespace

FormatResult DecodeRaw(QByteArrayView data, QSize area, bool turn, bool developRaw, RawPicture &out)
{
    const RawReader fromMemory = [data](qint64 offset, char *dst, qint64 len) -> qint64 {
        if (offset < 0 || offset >= data.size() || len <= 0)
            return 0;
        const qint64 n = qMin(len, qint64(data.size()) - offset);
        std::memcpy(dst, data.data() + offset, size_t(n));
        return n;
    };
    return DecodeRawFrom(fromMemory, data.size(), area, turn, developRaw, out);
}

FormatResult DecodeRawFrom(const RawReader &read, qint64 fileSize, QSize area, bool turn, bool developRaw,
                           RawPicture &out)
{
    if (fileSize < 16 || !read)
        return FormatResult::Broken;
    ReaderStream stream(read, fileSize);
    auto raw = std::make_unique<LibRaw>(); // large: never on a worker's stack
    raw->set_dataerror_handler(quietDataErrors, nullptr);
    raw->set_progress_handler(stopWhenCancelled, nullptr);
    raw->imgdata.params.max_raw_memory_mb = unsigned(kMaxDecodeBytes >> 20);
    if (raw->open_datastream(&stream) != LIBRAW_SUCCESS)
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
        t.tlength > 0 && qint64(t.tlength) <= kMaxDecodeBytes && qint64(t.tlength) <= fileSize &&
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
