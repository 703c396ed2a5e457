#include "decode/LoadPicture.h"

#include "decode/ColourProfile.h"
#include "decode/DecodeCancel.h"
#include "decode/DecodeLimits.h"
#include "decode/ExifOrientation.h"
#include "decode/FastScale.h"
#include "decode/FormatDecoders.h"
#include "decode/JpegDecoder.h"
#include "decode/RawDecoder.h"
#include "platform/LargeBlocks.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMutex>
#include <cmath>
#include <cstring>

namespace
{

QMutex pluginMutex;
std::function<bool(const QString &, QImage &)> pluginDecoder;

bool decodeWithPlugin(const QString &path, QImage &out)
{
    QMutexLocker lock(&pluginMutex);
    if (!pluginDecoder)
        return false;
    QImage image;
    if (!pluginDecoder(path, image) || image.isNull())
        return false;
    out = image;
    return true;
}

// libjpeg pads a cut-off scan with grey and reports only a warning, which
// Qt does not pass on; a file without its end marker is treated as broken
// rather than shown half grey. In scan data 0xFF is always followed by 0x00
// or a restart marker, so the first other marker after a scan is real.
bool jpegIsComplete(const uchar *p, qsizetype n)
{
    qsizetype o = 2;
    bool inScan = false;
    // Fast path: the end marker sits at (or near) the end of the file.
    for (qsizetype i = n - 2; i >= qMax<qsizetype>(2, n - 64); --i) {
        if (p[i] == 0xFF && p[i + 1] == 0xD9)
            return true;
    }
    while (o + 1 < n) {
        if (inScan) {
            const void *ff = std::memchr(p + o, 0xFF, size_t(n - o));
            if (!ff)
                return false;
            o = static_cast<const uchar *>(ff) - p;
            if (o + 1 >= n)
                return false;
            const uchar m = p[o + 1];
            if (m == 0x00 || (m >= 0xD0 && m <= 0xD7)) {
                o += 2;
                continue;
            }
            if (m == 0xFF) {
                ++o;
                continue;
            }
            inScan = false;
            continue;
        }
        if (p[o] != 0xFF)
            return false;
        const uchar m = p[o + 1];
        if (m == 0xFF) {
            ++o;
            continue;
        }
        if (m == 0xD9)
            return true;
        if (m == 0xD8 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {
            o += 2;
            continue;
        }
        if (o + 4 > n)
            return false;
        const qsizetype len = qsizetype(p[o + 2]) << 8 | p[o + 3];
        if (len < 2)
            return false;
        o += 2 + len;
        inScan = m == 0xDA;
    }
    return false;
}

// A PNG whose data stops before its end chunk.
bool pngIsComplete(const uchar *p, qsizetype n)
{
    qsizetype o = 8;
    while (o + 12 <= n) {
        const qsizetype len = qsizetype(p[o]) << 24 | qsizetype(p[o + 1]) << 16 | p[o + 2] << 8 | p[o + 3];
        if (std::memcmp(p + o + 4, "IEND", 4) == 0)
            return true;
        if (len > n - o - 12)
            return false;
        o += 12 + len;
    }
    return false;
}

bool looksComplete(const QByteArray &format, const QByteArray &data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    if (format == "jpeg" || format == "jpg")
        return jpegIsComplete(p, data.size());
    if (format == "png")
        return pngIsComplete(p, data.size());
    return true;
}

bool isJpegData(const QByteArray &data)
{
    return data.size() > 3 && uchar(data[0]) == 0xFF && uchar(data[1]) == 0xD8 && uchar(data[2]) == 0xFF;
}

// The reduced size to decode at, in stored orientation; invalid for full size.
QSize decodeTarget(QSize stored, int degrees, const LoadOptions &options)
{
    if (!stored.isValid() || options.maxSize.isEmpty())
        return QSize();
    QSize natural = stored;
    if (degrees % 180)
        natural.transpose();
    QSize target = FitDecodeSize(natural, options.maxSize);
    if (target == natural)
        return QSize();
    if (degrees % 180)
        target.transpose();
    return target;
}

enum class Decoded { Ok, Failed, TooLarge };

// Any format Qt reads, decided by content. animated: in, a GIF should
// play; out, it will (a GIF whose canvas is too large to play is a still).
Decoded decodeWithQt(const QByteArray &data, bool &animated, int degrees, const LoadOptions &options,
                     QImage &image, QSize &stored)
{
    ApplyDecodeBudgetToQt();
    QByteArray bytes = data; // shares or wraps; QBuffer needs a non-const array
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return Decoded::Failed;
    QImageReader reader(&buffer);
    // Orientation is ours to apply (only the turns), never the reader's.
    reader.setAutoTransform(false);
    const QByteArray format = reader.format();
    if (format.isEmpty())
        return Decoded::Failed;
    stored = reader.size();
    if (format == "gif") {
        const QSize canvas = GifCanvasSize(data);
        if (canvas.isValid())
            stored = canvas; // every frame is drawn on it
    }
    animated = animated && format == "gif" && AnimationSizeAllowed(stored);
    // Formats without a size in their header are held to the budget by
    // Qt's allocation limit instead.
    if (stored.isValid() && !PictureSizeAllowed(stored))
        return Decoded::TooLarge;
    if (!animated) {
        const QSize target = decodeTarget(stored, degrees, options);
        if (target.isValid())
            reader.setScaledSize(target);
    }
    image = reader.read();
    if (image.isNull() || !looksComplete(format, data))
        return Decoded::Failed;
    if (!stored.isValid())
        stored = image.size();
    return Decoded::Ok;
}

// A PNG with an iCCP chunk ahead of its picture data.
bool pngHasProfile(const QByteArray &data)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData());
    for (qsizetype o = 8; o + 8 <= data.size();) {
        const qsizetype len = qsizetype(p[o]) << 24 | qsizetype(p[o + 1]) << 16 | p[o + 2] << 8 | p[o + 3];
        if (std::memcmp(p + o + 4, "iCCP", 4) == 0)
            return true;
        if (std::memcmp(p + o + 4, "IDAT", 4) == 0 || len > data.size() - o - 12)
            return false;
        o += 12 + len;
    }
    return false;
}

// The embedded ICC profile of a picture Qt decoded; empty when none. Qt
// also makes a colour space of a PNG's gamma and chromaticity chunks,
// which many tools write for plain sRGB: those are not converted.
QByteArray qtProfile(const QImage &image, const QByteArray &data)
{
    const QColorSpace cs = image.colorSpace();
    if (!cs.isValid() || cs == QColorSpace(QColorSpace::SRgb))
        return {};
    if (data.startsWith("\x89PNG") && !pngHasProfile(data))
        return {};
    return cs.iccProfile();
}

// The picture at the size it is shown (unless the caller scales it).
QImage shownSize(QImage image, int degrees, const LoadOptions &options)
{
    if (options.reducedOnly)
        return image;
    const QSize target = decodeTarget(image.size(), degrees, options);
    if (!target.isValid())
        return image;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32_Premultiplied)
        image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const QImage shrunk = ShrinkImage(image, target);
    return shrunk.isNull() ? image : shrunk;
}

void finish(PictureData &out, const QString &path, QImage image, QSize stored, int orientation, int degrees,
            const LoadOptions &options)
{
    out.path = path;
    out.orientation = orientation;
    out.naturalSize = stored;
    if (options.autoRotate) {
        out.orientationApplied = true;
        if (degrees && !out.animated) {
            image = RotateImage(image, degrees);
            if (degrees % 180)
                out.naturalSize.transpose();
        }
    }
    out.image = image;
}

// HEIF, AVIF and JPEG XL: upright from their decoders, whatever the
// rotation switch says (the orientation is part of these formats).
Decoded decodeModern(const QString &path, const QByteArray &data, PictureData &out,
                     const LoadOptions &options)
{
    DecodedStill still;
    FormatResult r = FormatResult::Broken;
    if (IsHeifData(data))
        r = DecodeHeif(data, still);
    else if (IsAvifData(data))
        r = DecodeAvif(data, still);
    else
        r = DecodeJpegXl(data, still);
    if (r == FormatResult::TooLarge)
        return Decoded::TooLarge;
    if (r != FormatResult::Ok)
        return Decoded::Failed;
    const QSize natural = still.image.size();
    // Animations play on the whole canvas, like GIFs; too large ones stay still.
    out.animated = still.animated && AnimationSizeAllowed(natural);
    QImage image = out.animated ? std::move(still.image) : shownSize(std::move(still.image), 0, options);
    ConvertToDisplaySpace(image, still.icc);
    finish(out, path, std::move(image), natural, 0, 0, options);
    out.orientationApplied = true; // nothing is left to turn
    return Decoded::Ok;
}

// A JPEG (a file's or a RAW's preview), colour-converted by its profile.
JpegResult decodeJpegData(const QByteArray &data, int degrees, const LoadOptions &options, QImage &image,
                          QSize &stored)
{
    stored = ReadJpegSize(data);
    const JpegResult r =
        DecodeJpeg(data, decodeTarget(stored, degrees, options), image, stored, !options.reducedOnly);
    if (r == JpegResult::Ok)
        ConvertToDisplaySpace(image, ReadJpegIccProfile(data));
    return r;
}

// A RAW: its embedded preview through the JPEG path, else the developed
// RAW; the size is the RAW's own either way. Failed hands the file on to
// the content-based decoders (a JPEG named ".nef" still shows).
Decoded decodeRaw(const QString &path, const RawReader &read, qint64 size, PictureData &out,
                  const LoadOptions &options)
{
    RawPicture raw;
    FormatResult r = DecodeRawFrom(read, size, options.maxSize, options.autoRotate, false, raw);
    if (r == FormatResult::Broken && raw.size.isEmpty())
        return Decoded::Failed; // not a RAW LibRaw reads
    const int degrees = options.autoRotate ? OrientationRotation(raw.orientation) : 0;
    QImage image;
    if (r == FormatResult::Ok && !raw.jpeg.isEmpty()) {
        QSize previewSize;
        const JpegResult j = decodeJpegData(raw.jpeg, degrees, options, image, previewSize);
        if (j == JpegResult::Ok)
            raw.jpeg.clear();
        else
            r = DecodeRawFrom(read, size, options.maxSize, options.autoRotate, true,
                              raw); // a broken or oversized preview
    }
    if (r == FormatResult::TooLarge)
        return Decoded::TooLarge;
    if (r != FormatResult::Ok)
        return Decoded::Failed;
    if (image.isNull())
        image = shownSize(raw.image, degrees, options);
    if (image.isNull())
        return Decoded::Failed;
    finish(out, path, std::move(image), raw.size, raw.orientation, degrees, options);
    return Decoded::Ok;
}

// Any picture but a RAW: RAWs are tried first, straight from the file.
Decoded decodeBuiltIn(const QString &path, const QByteArray &data, PictureData &out,
                      const LoadOptions &options)
{
    if (IsHeifData(data) || IsAvifData(data) || IsJpegXlData(data))
        return decodeModern(path, data, out, options);

    const int orientation = ReadExifOrientation(data);
    const int degrees = options.autoRotate ? OrientationRotation(orientation) : 0;
    const bool gifName = HasGifExtension(path);

    QImage image;
    QSize stored;
    bool animated = gifName;
    JpegResult jpeg = JpegResult::Unsupported;
    if (isJpegData(data)) {
        jpeg = decodeJpegData(data, degrees, options, image, stored);
        if (jpeg == JpegResult::Broken)
            return Decoded::Failed;
        if (jpeg == JpegResult::TooLarge)
            return Decoded::TooLarge;
    }
    if (jpeg != JpegResult::Ok && options.jpegOnly)
        return Decoded::Failed;
    if (jpeg != JpegResult::Ok) {
        const Decoded r = decodeWithQt(data, animated, degrees, options, image, stored);
        if (r != Decoded::Ok)
            return r;
        if (!animated)
            ConvertToDisplaySpace(image, qtProfile(image, data));
    }

    out.animated = jpeg != JpegResult::Ok && animated;
    finish(out, path, std::move(image), stored, orientation, degrees, options);
    return Decoded::Ok;
}

// A large file's bytes go into memory of their own, asked of the system in
// huge pages (LargeBlocks.h) and given back as soon as the picture is
// decoded: freshly allocated memory is otherwise filled by the system page
// by page as it is first written, which for a camera's JPEG costs a good
// part of decoding it.
class ReadBlock
{
public:
    explicit ReadBlock(qint64 size)
    {
        if (size >= kMinLargeRead)
            block_ = AllocateLargeBlock(size_t(size), capacity_);
    }
    ~ReadBlock() { FreeLargeBlock(block_, capacity_); }
    ReadBlock(const ReadBlock &) = delete;
    ReadBlock &operator=(const ReadBlock &) = delete;
    // Null for a small file (an ordinary array does) or when out of memory.
    char *data() const { return static_cast<char *>(block_); }

private:
    static constexpr qint64 kMinLargeRead = 2 << 20;
    void *block_ = nullptr;
    size_t capacity_ = 0;
};

bool loadPictureFile(const QString &path, PictureData &picture, const LoadOptions &options)
{
    // Regular files only: opening a named pipe would block the viewer.
    const QFileInfo info(path);
    if (!info.isFile() || DecodeCancelled())
        return false;
    // No picture within the budget needs more bytes than this; a larger
    // file (or a sparse one claiming to be) is refused before reading.
    if (info.size() > kMaxDecodeBytes)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    const qint64 size = file.size();
    if (size <= 0 || size > kMaxDecodeBytes)
        return false;

    // RAW by name: many RAWs are TIFF inside and would show as their
    // thumbnail through the TIFF reader. Only the headers and the preview
    // are read, not the sensor data that makes up most of the file.
    if (HasRawExtension(path)) {
        const RawReader fromFile = [&file](qint64 offset, char *dst, qint64 len) -> qint64 {
            return file.seek(offset) ? file.read(dst, len) : -1;
        };
        PictureData raw;
        const Decoded r = decodeRaw(path, fromFile, size, raw, options);
        if (r == Decoded::Ok && !DecodeCancelled()) {
            picture = std::move(raw);
            return true;
        }
        if (r == Decoded::TooLarge || DecodeCancelled())
            return false; // cancelled: no other reader is tried on it
        if (!file.seek(0))
            return false;
    }

    // Read, not mapped: a file cut short by another program while mapped
    // would kill the viewer with SIGBUS; read bytes just end early.
    // The decoders never keep the bytes past this function, so they may
    // read them where they lie.
    const ReadBlock block(size);
    QByteArray data = block.data() ? QByteArray() : QByteArray(size, Qt::Uninitialized);
    const qint64 got = file.read(block.data() ? block.data() : data.data(), size);
    if (got <= 0)
        return false;
    if (block.data())
        data = QByteArray::fromRawData(block.data(), got);
    else
        data.truncate(got);
    if (DecodeCancelled())
        return false;
    PictureData result;
    const Decoded decoded = decodeBuiltIn(path, data, result, options);
    data.clear(); // the encoded bytes are not needed past this point
    file.close();
    if (decoded == Decoded::TooLarge || DecodeCancelled())
        return false; // no plug-in is asked either

    if (decoded != Decoded::Ok) {
        QImage image;
        if (options.jpegOnly || !decodeWithPlugin(path, image))
            return false;
        result = PictureData();
        result.path = path;
        result.image = image;
        result.naturalSize = image.size();
        result.orientationApplied = options.autoRotate;
    }
    picture = std::move(result);
    return true;
}

} // namespace

void ApplyDecodeBudgetToQt()
{
    static const bool applied = [] {
        QImageReader::setAllocationLimit(int(kMaxDecodeBytes >> 20));
        return true;
    }();
    Q_UNUSED(applied);
}

QSize GifCanvasSize(QByteArrayView header)
{
    if (header.size() < 10 || !(header.startsWith("GIF87a") || header.startsWith("GIF89a")))
        return {};
    const auto *p = reinterpret_cast<const uchar *>(header.data());
    return QSize(p[6] | p[7] << 8, p[8] | p[9] << 8);
}

bool HasGifExtension(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > slash && path.size() - dot == 4 && path.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive);
}

bool LoadPictureFile(const QString &path, PictureData &picture, const LoadOptions &options)
{
    // Runs on worker threads, where an escaping exception would end the
    // program: running out of memory is one more way a file fails to load.
    try {
        return loadPictureFile(path, picture, options);
    } catch (...) {
        return false;
    }
}

void setPluginDecoder(std::function<bool(const QString &path, QImage &out)> decoder)
{
    QMutexLocker lock(&pluginMutex);
    pluginDecoder = std::move(decoder);
}
