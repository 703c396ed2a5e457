#include "decode/JpegDecoder.h"

#include "decode/DecodeLimits.h"
#include "decode/FastScale.h"

#include <QCoreApplication>
#include <QThread>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <memory>
#include <new>
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

bool readLines(Decoder &d, unsigned char *bits, size_t bytesPerLine)
{
    if (setjmp(d.err.jump))
        return false;
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        JSAMPROW rows[8];
        const unsigned left = d.cinfo.output_height - d.cinfo.output_scanline;
        const unsigned n = left < 8 ? left : 8;
        for (unsigned i = 0; i < n; ++i)
            rows[i] = bits + (d.cinfo.output_scanline + i) * bytesPerLine;
        if (jpeg_read_scanlines(&d.cinfo, rows, n) == 0)
            return false;
        if (d.err.truncated)
            return false;
    }
    jpeg_finish_decompress(&d.cinfo);
    return !d.err.truncated;
}

// Pixels decoded only to be shrunk. On the threads that decode ahead the
// buffer is kept for the next picture: fresh pages for every picture cost
// the kernel about as much time as the shrink itself. The interface thread
// keeps nothing.
QImage scratchImage(QSize size)
{
    thread_local std::unique_ptr<uchar[]> buffer;
    thread_local size_t capacity = 0;
    const QCoreApplication *app = QCoreApplication::instance();
    const size_t bytes = size_t(size.width()) * 4 * size_t(size.height());
    if (!app || QThread::currentThread() == app->thread() || bytes > (size_t(1) << 30))
        return QImage(size, QImage::Format_RGB32);
    if (capacity < bytes) {
        buffer.reset(new (std::nothrow) uchar[bytes]);
        capacity = buffer ? bytes : 0;
        if (!buffer)
            return QImage();
    }
    return QImage(buffer.get(), size.width(), size.height(), size.width() * 4, QImage::Format_RGB32);
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
    QImage image = shrink ? scratchImage(decoded) : QImage(decoded, QImage::Format_RGB32);
    if (image.isNull()) { // too large to allocate
        jpeg_abort_decompress(&d.cinfo);
        return JpegResult::Broken;
    }
    if (!readLines(d, image.bits(), size_t(image.bytesPerLine())))
        return JpegResult::Broken;
    if (shrink)
        image = ShrinkImage(image, target);
    out = image;
    return JpegResult::Ok;
}
