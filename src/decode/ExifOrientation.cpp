#include "decode/ExifOrientation.h"

#include <QFile>
#include <QFileInfo>
#include <QTransform>

namespace
{

constexpr quint16 kOrientationTag = 0x0112;
constexpr quint16 kTypeShort = 3;

// Bounds-checked reads; every offset comes from the file and is untrusted.
struct Bytes {
    const uchar *p;
    qsizetype n;

    bool has(qsizetype off, qsizetype len) const
    {
        return off >= 0 && len >= 0 && off <= n && len <= n - off;
    }
    quint16 be16(qsizetype o) const { return quint16(p[o] << 8 | p[o + 1]); }
    quint32 be32(qsizetype o) const
    {
        return quint32(p[o]) << 24 | quint32(p[o + 1]) << 16 | quint32(p[o + 2]) << 8 | p[o + 3];
    }
    quint32 le32(qsizetype o) const
    {
        return quint32(p[o + 3]) << 24 | quint32(p[o + 2]) << 16 | quint32(p[o + 1]) << 8 | p[o];
    }
    bool startsWith(qsizetype o, const char *s, qsizetype len) const
    {
        return has(o, len) && memcmp(p + o, s, size_t(len)) == 0;
    }
};

// IFD0 of a TIFF structure (a TIFF file or the payload of an EXIF block).
int orientationFromTiff(Bytes b)
{
    if (!b.has(0, 8))
        return 0;
    bool little;
    if (b.startsWith(0, "II", 2))
        little = true;
    else if (b.startsWith(0, "MM", 2))
        little = false;
    else
        return 0;
    auto u16 = [&](qsizetype o) { return little ? quint16(b.p[o] | b.p[o + 1] << 8) : b.be16(o); };
    auto u32 = [&](qsizetype o) { return little ? b.le32(o) : b.be32(o); };
    if (u16(2) != 42)
        return 0;
    const qsizetype ifd = u32(4);
    if (!b.has(ifd, 2))
        return 0;
    const int count = u16(ifd);
    for (int i = 0; i < count; ++i) {
        const qsizetype e = ifd + 2 + qsizetype(i) * 12;
        if (!b.has(e, 12))
            return 0;
        if (u16(e) != kOrientationTag)
            continue;
        // Only a SHORT holds a usable value; anything else counts as no tag.
        if (u16(e + 2) != kTypeShort || u32(e + 4) < 1)
            return 0;
        return u16(e + 8);
    }
    return 0;
}

// An EXIF block, with or without the "Exif\0\0" prefix some writers add.
int orientationFromExifBlock(Bytes b)
{
    if (b.startsWith(0, "Exif\0\0", 6))
        return orientationFromTiff({b.p + 6, b.n - 6});
    return orientationFromTiff(b);
}

int orientationFromJpeg(Bytes b)
{
    qsizetype o = 2;
    while (b.has(o, 4)) {
        if (b.p[o] != 0xFF)
            return 0;
        const uchar marker = b.p[o + 1];
        if (marker == 0xFF) { // fill byte
            ++o;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            o += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // scan data or end: no tag before it
            return 0;
        const qsizetype len = b.be16(o + 2);
        if (len < 2 || !b.has(o + 2, len))
            return 0;
        if (marker == 0xE1 && b.startsWith(o + 4, "Exif\0\0", 6)) {
            const int v = orientationFromTiff({b.p + o + 10, len - 8});
            if (v)
                return v;
        }
        o += 2 + len;
    }
    return 0;
}

int orientationFromPng(Bytes b)
{
    qsizetype o = 8;
    while (b.has(o, 12)) {
        const qsizetype len = b.be32(o);
        if (!b.has(o + 8, len))
            return 0;
        if (b.startsWith(o + 4, "eXIf", 4))
            return orientationFromExifBlock({b.p + o + 8, len});
        if (b.startsWith(o + 4, "IEND", 4))
            return 0;
        o += 12 + len;
    }
    return 0;
}

int orientationFromWebp(Bytes b)
{
    qsizetype o = 12;
    while (b.has(o, 8)) {
        const qsizetype len = b.le32(o + 4);
        if (!b.has(o + 8, len))
            return 0;
        if (b.startsWith(o, "EXIF", 4))
            return orientationFromExifBlock({b.p + o + 8, len});
        o += 8 + len + (len & 1);
    }
    return 0;
}

} // namespace

int ReadExifOrientation(QByteArrayView data)
{
    const Bytes b{reinterpret_cast<const uchar *>(data.data()), data.size()};
    if (b.has(0, 3) && b.p[0] == 0xFF && b.p[1] == 0xD8 && b.p[2] == 0xFF)
        return orientationFromJpeg(b);
    if (b.startsWith(0, "\x89PNG\r\n\x1a\n", 8))
        return orientationFromPng(b);
    if (b.startsWith(0, "RIFF", 4) && b.startsWith(8, "WEBP", 4))
        return orientationFromWebp(b);
    if (b.startsWith(0, "II*\0", 4) || b.startsWith(0, "MM\0*", 4))
        return orientationFromTiff(b);
    return 0;
}

int ReadExifOrientationFile(const QString &path)
{
    if (!QFileInfo(path).isFile()) // a named pipe would block
        return 0;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() <= 0)
        return 0;
    // Read, not mapped: a file cut short meanwhile would raise SIGBUS.
    return ReadExifOrientation(f.readAll());
}

int OrientationRotation(int orientation)
{
    switch (orientation) {
    case 3:
        return 180;
    case 6:
        return 90;
    case 8:
        return 270;
    default:
        return 0;
    }
}

QImage RotateImage(const QImage &image, int degrees)
{
    if (degrees % 360 == 0 || image.isNull())
        return image;
    // Quarter turns take Qt's exact pixel-rotation path (no filtering).
    return image.transformed(QTransform().rotate(degrees));
}

void ApplyExifOrientation(PictureData &picture, const QString &path)
{
    if (picture.orientationApplied || picture.isNull())
        return;
    // The tag was read from the same bytes while loading; read the file only
    // for a picture that came from somewhere else.
    const int orientation = picture.path == path ? picture.orientation : ReadExifOrientationFile(path);
    picture.orientationApplied = true;
    picture.orientation = orientation;
    const int degrees = OrientationRotation(orientation);
    if (picture.animated || degrees == 0)
        return;
    picture.image = RotateImage(picture.image, degrees);
    if (degrees != 180)
        picture.naturalSize.transpose();
}
