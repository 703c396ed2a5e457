// PCX import filter: 1, 2, 4 and 8 bits per pixel in one plane, 1 bit in up to
// four planes (EGA), and 24-bit colour in three or four 8-bit planes; RLE or raw.
#include "common/PluginSupport.h"

namespace
{

const char *const kInfo[] = {"00IN", "PCX import filter for Glimmerdeck", "*.pcx", "PCX (ZSoft Paintbrush)"};

struct Header {
    int version, encoding, bpp, planes, bytesPerLine;
    int width, height, hdpi, vdpi;
    const uint8_t *egaPalette;
};

int le16(const uint8_t *p)
{
    return p[0] | (p[1] << 8);
}

bool parseHeader(const uint8_t *p, size_t size, Header &h)
{
    if (size < 128 || p[0] != 0x0A || p[1] > 5 || p[2] > 1)
        return false;
    h.version = p[1];
    h.encoding = p[2];
    h.bpp = p[3];
    h.planes = p[65];
    h.bytesPerLine = le16(p + 66);
    h.width = le16(p + 8) - le16(p + 4) + 1;
    h.height = le16(p + 10) - le16(p + 6) + 1;
    h.hdpi = le16(p + 12);
    h.vdpi = le16(p + 14);
    h.egaPalette = p + 16;
    if (h.width <= 0 || h.height <= 0)
        return false;
    const bool indexed = h.planes == 1 && (h.bpp == 1 || h.bpp == 2 || h.bpp == 4 || h.bpp == 8);
    const bool ega = h.bpp == 1 && h.planes >= 2 && h.planes <= 4;
    const bool rgb = h.bpp == 8 && (h.planes == 3 || h.planes == 4);
    if (!indexed && !ega && !rgb)
        return false;
    return h.bytesPerLine > 0 && int64_t(h.bytesPerLine) * 8 >= int64_t(h.width) * h.bpp;
}

// Expands the RLE (or raw) stream one row at a time; runs may cross row
// ends. Rows are unpacked as they are converted, never all at once: a row
// may be padded far past what the width needs, and a few bytes of header
// must not make us allocate that padding for every row.
struct Unpacker {
    const uint8_t *src;
    const uint8_t *end;
    bool rle;
    uint8_t runValue = 0;
    size_t runLeft = 0;

    bool exhausted() const { return runLeft == 0 && src >= end; }

    // Fills the n bytes of `row`; what the stream no longer covers is zero.
    void fill(uint8_t *row, size_t n)
    {
        size_t i = 0;
        while (i < n) {
            if (runLeft) {
                const size_t k = std::min(runLeft, n - i);
                std::memset(row + i, runValue, k);
                i += k;
                runLeft -= k;
                continue;
            }
            if (src >= end)
                break;
            if (!rle) {
                const size_t k = std::min<size_t>(size_t(end - src), n - i);
                std::memcpy(row + i, src, k);
                src += k;
                i += k;
                continue;
            }
            const uint8_t c = *src++;
            if ((c & 0xC0) == 0xC0) {
                if (src >= end) // a count with no value: the stream ends here
                    break;
                runLeft = c & 0x3F;
                runValue = *src++;
            } else {
                row[i++] = c;
            }
        }
        std::memset(row + i, 0, n - i);
    }
};

int decode(const spi::Input &in, HLOCAL *hinfo, HLOCAL *hbm, SPI_PROGRESS progress, intptr_t data)
{
    Header h;
    if (!parseHeader(in.data, in.size, h))
        return SPI_NOT_SUPPORT;
    const size_t rowBytes = size_t(h.planes) * size_t(h.bytesPerLine);
    if (int64_t(h.width) * h.height > (int64_t(1) << 29))
        return SPI_NO_MEMORY;
    std::vector<uint8_t> rowBuffer(rowBytes, 0);
    Unpacker stream{in.data + 128, in.data + in.size, h.encoding == 1};

    const bool rgb = h.bpp == 8 && h.planes >= 3;
    const int outBits = rgb ? 24 : (h.bpp == 8 ? 8 : (h.bpp == 1 && h.planes == 1 ? 1 : 4));
    const int colors = outBits <= 8 ? (1 << outBits) : 0;
    spi::Dib dib;
    if (!dib.create(h.width, h.height, outBits, colors))
        return SPI_NO_MEMORY;

    if (outBits == 1) {
        dib.setColor(0, 0, 0, 0);
        dib.setColor(1, 255, 255, 255);
    } else if (outBits == 4) {
        for (int i = 0; i < 16; ++i)
            dib.setColor(i, h.egaPalette[i * 3], h.egaPalette[i * 3 + 1], h.egaPalette[i * 3 + 2]);
    } else if (outBits == 8) {
        // Version 5 files carry 256 colours after a 0x0C marker at the end.
        const uint8_t *pal = in.size >= 128 + 769 ? in.data + in.size - 769 : nullptr;
        const bool hasPalette = pal && h.version >= 5 && pal[0] == 0x0C;
        for (int i = 0; i < 256; ++i) {
            if (hasPalette)
                dib.setColor(i, pal[1 + i * 3], pal[2 + i * 3], pal[3 + i * 3]);
            else
                dib.setColor(i, uint8_t(i), uint8_t(i), uint8_t(i));
        }
    }

    for (int y = 0; y < h.height; ++y) {
        if (spi::aborted(progress, data, y, h.height)) {
            dib.release();
            return SPI_ABORT;
        }
        // Past the end of the data every row is zero, as the bitmap already is.
        if (stream.exhausted())
            continue;
        stream.fill(rowBuffer.data(), rowBytes);
        const uint8_t *src = rowBuffer.data();
        uint8_t *dst = dib.row(y);
        if (outBits == 24) {
            const uint8_t *r = src, *g = src + h.bytesPerLine, *b = src + 2 * h.bytesPerLine;
            for (int x = 0; x < h.width; ++x) {
                dst[0] = b[x];
                dst[1] = g[x];
                dst[2] = r[x];
                dst += 3;
            }
        } else if (outBits == 8 || outBits == 1) {
            std::memcpy(dst, src, size_t(outBits == 8 ? h.width : (h.width + 7) / 8));
        } else {
            // 2 or 4 bits packed, or 1 bit in several planes: build 4-bit indices.
            for (int x = 0; x < h.width; ++x) {
                int index = 0;
                if (h.planes == 1) {
                    const int bitPos = x * h.bpp;
                    index = (src[bitPos >> 3] >> (8 - h.bpp - (bitPos & 7))) & ((1 << h.bpp) - 1);
                } else {
                    for (int p = 0; p < h.planes; ++p)
                        index |= ((src[p * h.bytesPerLine + (x >> 3)] >> (7 - (x & 7))) & 1) << p;
                }
                dst[x >> 1] |= uint8_t((x & 1) ? index : index << 4);
            }
        }
    }
    if (spi::aborted(progress, data, h.height, h.height)) {
        dib.release();
        return SPI_ABORT;
    }
    dib.handOver(hinfo, hbm);
    return SPI_ALL_RIGHT;
}

} // namespace

SPI_EXPORT int GetPluginInfo(int infono, char *buf, int buflen)
{
    return spi::pluginInfo(kInfo, 4, infono, buf, buflen);
}

SPI_EXPORT int IsSupported(const char *, uintptr_t dw)
{
    return spi::isSupported<Header>(dw, parseHeader);
}

SPI_EXPORT int GetPictureInfo(const char *buf, intptr_t len, unsigned int flag, TPictureInfo *info)
{
    return spi::pictureInfo<Header>(buf, len, flag, info, parseHeader, [](const Header &h, TPictureInfo &i) {
        i.XDensity = uint16_t(h.hdpi);
        i.YDensity = uint16_t(h.vdpi);
        i.ColorDepth = int16_t(h.bpp * h.planes);
    });
}

SPI_EXPORT int GetPicture(const char *buf, intptr_t len, unsigned int flag, HLOCAL *hbminfo, HLOCAL *hbm,
                          SPI_PROGRESS progress, intptr_t data)
{
    return spi::picture(buf, len, flag, hbminfo, hbm, progress, data, decode);
}
