#include "decode/JpegDecoder.h"

#include "decode/DecodeCancel.h"
#include "decode/DecodeLimits.h"
#include "decode/FastScale.h"
#include "decode/PictureBuffers.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <vector>
// after jpeglib.h, which it needs
#include <jerror.h>

namespace
{

// libjpeg reports fatal errors through error_exit, which must not return:
// it jumps back into the function that armed the jump buffer. Those
// functions hold only plain data, so nothing needing a destructor is skipped.
struct ErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    bool truncated = false;
};

void errorExit(j_common_ptr cinfo)
{
    longjmp(reinterpret_cast<ErrorManager *>(cinfo->err)->jump, 1);
}

void emitMessage(j_common_ptr cinfo, int level)
{
    // A file that ends early is padded by libjpeg with grey; we refuse it.
    // Other warnings (stray bytes before a marker) are common in camera
    // files that every viewer shows, so they are tolerated.
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<ErrorManager *>(cinfo->err)->truncated = true;
}

void outputMessage(j_common_ptr) {}

struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager err;

    Decoder()
    {
        cinfo.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = errorExit;
        err.pub.emit_message = emitMessage;
        err.pub.output_message = outputMessage;
        jpeg_create_decompress(&cinfo);
        // Past this, libjpeg would need a temporary file, which it has not:
        // a progressive file declaring a huge size fails instead of
        // allocating its coefficient buffers.
        cinfo.mem->max_memory_to_use = long(kMaxDecodeBytes);
    }
    ~Decoder() { jpeg_destroy_decompress(&cinfo); }
    Decoder(const Decoder &) = delete;
    Decoder &operator=(const Decoder &) = delete;
};

bool readHeader(Decoder &d, const unsigned char *data, unsigned long size)
{
    if (setjmp(d.err.jump))
        return false;
    jpeg_mem_src(&d.cinfo, data, size);
    return jpeg_read_header(&d.cinfo, TRUE) == JPEG_HEADER_OK;
}

bool start(Decoder &d, int scaleNum)
{
    if (setjmp(d.err.jump))
        return false;
    d.cinfo.scale_num = unsigned(scaleNum);
    d.cinfo.scale_denom = 8;
    d.cinfo.out_color_space = JCS_EXT_BGRX; // QImage::Format_RGB32 byte order
    d.cinfo.dct_method = JDCT_ISLOW;
    return jpeg_start_decompress(&d.cinfo);
}

// Decodes every line into `bits`; or, with `shrink`, a few lines at a time
// into `bits` (room for 8 lines) and on into the shrinker.
bool readLines(Decoder &d, unsigned char *bits, size_t bytesPerLine, RowShrinker *shrink)
{
    if (setjmp(d.err.jump))
        return false;
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        JSAMPROW rows[8];
        const unsigned first = d.cinfo.output_scanline;
        const unsigned left = d.cinfo.output_height - first;
        const unsigned n = left < 8 ? left : 8;
        for (unsigned i = 0; i < n; ++i)
            rows[i] = bits + (shrink ? i : first + i) * bytesPerLine;
        const unsigned got = jpeg_read_scanlines(&d.cinfo, rows, n);
        if (got == 0 || d.err.truncated || DecodeCancelled())
            return false;
        for (unsigned i = 0; shrink && i < got; ++i)
            shrink->addRow(rows[i]);
    }
    jpeg_finish_decompress(&d.cinfo);
    return !d.err.truncated;
}

} // namespace

QSize ReadJpegSize(QByteArrayView data)
{
    Decoder d;
    if (data.isEmpty() || !readHeader(d, reinterpret_cast<const unsigned char *>(data.data()), data.size()))
        return QSize();
    return QSize(int(d.cinfo.image_width), int(d.cinfo.image_height));
}

JpegResult DecodeJpeg(QByteArrayView data, QSize target, QImage &out, QSize &natural, bool exact)
{
    Decoder d;
    if (data.isEmpty() || !readHeader(d, reinterpret_cast<const unsigned char *>(data.data()), data.size()))
        return JpegResult::Broken;
    const J_COLOR_SPACE cs = d.cinfo.jpeg_color_space;
    if (cs != JCS_YCbCr && cs != JCS_GRAYSCALE && cs != JCS_RGB)
        return JpegResult::Unsupported;
    const int w = int(d.cinfo.image_width), h = int(d.cinfo.image_height);
    natural = QSize(w, h);
    if (w <= 0 || h <= 0)
        return JpegResult::Broken;
    if (!PictureSizeAllowed(natural))
        return JpegResult::TooLarge;

    // Smallest eighth whose output still covers the target.
    int scale = 8;
    if (target.isValid() && !target.isEmpty() && (target.width() < w || target.height() < h)) {
        for (int m = 1; m <= 8; ++m) {
            if ((qint64(w) * m + 7) / 8 >= target.width() && (qint64(h) * m + 7) / 8 >= target.height()) {
                scale = m;
                break;
            }
        }
    } else {
        target = natural;
    }
    if (!start(d, scale))
        return d.err.pub.msg_code == JERR_NO_BACKING_STORE ? JpegResult::TooLarge : JpegResult::Broken;
    const QSize decoded(int(d.cinfo.output_width), int(d.cinfo.output_height));
    if (!DecodedSizeAllowed(decoded)) {
        jpeg_abort_decompress(&d.cinfo);
        return JpegResult::TooLarge;
    }
    const bool shrink = exact && decoded != target;
    RowShrinker shrinker(shrink ? decoded : QSize(), shrink ? target : QSize());
    QImage image;
    if (shrinker.accepted()) {
        // Shrunk as the lines come: the decoded size never exists whole,
        // which saves its memory and the time to fill and read it back.
        std::vector<unsigned char> lines(size_t(decoded.width()) * 4 * 8);
        if (!readLines(d, lines.data(), size_t(decoded.width()) * 4, &shrinker))
            return JpegResult::Broken;
        image = shrinker.result();
    } else {
        image = NewPictureImage(decoded, QImage::Format_RGB32);
        if (image.isNull()) { // too large to allocate
            jpeg_abort_decompress(&d.cinfo);
            return JpegResult::Broken;
        }
        if (!readLines(d, image.bits(), size_t(image.bytesPerLine()), nullptr))
            return JpegResult::Broken;
        if (shrink)
            image = ShrinkImage(image, target);
    }
    out = image;
    return JpegResult::Ok;
}
