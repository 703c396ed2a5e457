// Sun raster import filter: 1, 8, 24 and 32 bits, plain or byte-run encoded,
// with or without an RGB colour map.
#include "common/PluginSupport.h"

namespace
{

const char *const kInfo[] = {"00IN", "Sun raster import filter for Glimmerdeck", "*.sun;*.ras", "Sun raster"};

constexpr uint32_t kMagic = 0x59a66a95;
enum { RT_OLD = 0, RT_STANDARD = 1, RT_BYTE_ENCODED = 2, RT_FORMAT_RGB = 3 };
enum { RMT_NONE = 0, RMT_EQUAL_RGB = 1, RMT_RAW = 2 };

struct Header {
    int width, height, depth, type, mapType, mapLength;
};

uint32_t be32(const uint8_t *p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

bool parseHeader(const uint8_t *p, size_t size, Header &h)
{
    if (size < 32 || be32(p) != kMagic)
        return false;
    const uint32_t w = be32(p + 4), ht = be32(p + 8);
    h.depth = int(be32(p + 12));
    h.type = int(be32(p + 20));
    h.mapType = int(be32(p + 24));
    const uint32_t mapLength = be32(p + 28);
    if (w == 0 || ht == 0 || w > (1u << 17) || ht > (1u << 17) || mapLength > (1u << 20))
        return false;
    h.width = int(w);
    h.height = int(ht);
    h.mapLength = int(mapLength);
    if (h.depth != 1 && h.depth != 8 && h.depth != 24 && h.depth != 32)
        return false;
    if (h.type != RT_OLD && h.type != RT_STANDARD && h.type != RT_BYTE_ENCODED && h.type != RT_FORMAT_RGB)
        return false;
    return h.mapType == RMT_NONE || h.mapType == RMT_EQUAL_RGB || h.mapType == RMT_RAW;
}

// Undoes the byte-run encoding: 0x80 0 is a literal 0x80, 0x80 n v is n + 1 copies of v.
void unpackRle(const uint8_t *src, const uint8_t *end, std::vector<uint8_t> &out)
{
    uint8_t *d = out.data();
    uint8_t *const dEnd = d + out.size();
    while (d < dEnd && src < end) {
        const uint8_t c = *src++;
        if (c != 0x80) {
            *d++ = c;
            continue;
        }
        if (src >= end)
            break;
        const size_t n = *src++;
        if (n == 0) {
            *d++ = 0x80;
            continue;
        }
        if (src >= end)
            break;
        const uint8_t v = *src++;
        const size_t count = std::min<size_t>(n + 1, size_t(dEnd - d));
        std::memset(d, v, count);
        d += count;
    }
}

int decode(const spi::Input &in, HLOCAL *hinfo, HLOCAL *hbm, SPI_PROGRESS progress, intptr_t data)
{
    Header h;
    if (!parseHeader(in.data, in.size, h))
        return SPI_NOT_SUPPORT;
    if (int64_t(h.width) * h.height > (int64_t(1) << 29))
        return SPI_NO_MEMORY;
    if (size_t(32) + size_t(h.mapLength) > in.size)
        return SPI_FILE_READ_ERROR;
    const uint8_t *map = in.data + 32;
    const int mapColors = h.mapType == RMT_EQUAL_RGB ? h.mapLength / 3 : 0;
    const uint8_t *pixels = map + h.mapLength;
    const uint8_t *end = in.data + in.size;
    // Rows are padded to 16 bits.
    const size_t rowBytes = ((size_t(h.width) * size_t(h.depth) + 15) / 16) * 2;
    const size_t total = rowBytes * size_t(h.height);
    std::vector<uint8_t> rle;
    const uint8_t *rows = pixels;
    if (h.type == RT_BYTE_ENCODED || size_t(end - pixels) < total) {
        try {
            rle.assign(total, 0);
        } catch (...) {
            return SPI_NO_MEMORY;
        }
        if (h.type == RT_BYTE_ENCODED)
            unpackRle(pixels, end, rle);
        else
            std::memcpy(rle.data(), pixels, size_t(end - pixels)); // truncated file: rest stays zero
        rows = rle.data();
    }

    const int outBits = h.depth <= 8 ? h.depth : 24;
    const int colors = outBits <= 8 ? (1 << outBits) : 0;
    spi::Dib dib;
    if (!dib.create(h.width, h.height, outBits, colors))
        return SPI_NO_MEMORY;
    if (outBits <= 8) {
        for (int i = 0; i < colors; ++i) {
            if (i < mapColors)
                dib.setColor(i, map[i], map[mapColors + i], map[2 * mapColors + i]);
            else if (outBits == 1) // without a map a set bit is black
                dib.setColor(i, i ? 0 : 255, i ? 0 : 255, i ? 0 : 255);
            else
                dib.setColor(i, uint8_t(i), uint8_t(i), uint8_t(i));
        }
    }
    const bool rgbOrder = h.type == RT_FORMAT_RGB;
    for (int y = 0; y < h.height; ++y) {
        if (spi::aborted(progress, data, y, h.height)) {
            dib.release();
            return SPI_ABORT;
        }
        const uint8_t *src = rows + size_t(y) * rowBytes;
        uint8_t *dst = dib.row(y);
        if (outBits <= 8) {
            std::memcpy(dst, src, size_t(outBits == 8 ? h.width : (h.width + 7) / 8));
        } else {
            const int step = h.depth / 8;
            const int skip = step - 3; // 32-bit pixels start with a pad/alpha byte
            for (int x = 0; x < h.width; ++x, src += step, dst += 3) {
                const uint8_t *c = src + skip;
                dst[0] = rgbOrder ? c[2] : c[0];
                dst[1] = c[1];
                dst[2] = rgbOrder ? c[0] : c[2];
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
        i.ColorDepth = int16_t(h.depth);
    });
}

SPI_EXPORT int GetPicture(const char *buf, intptr_t len, unsigned int flag, HLOCAL *hbminfo, HLOCAL *hbm,
                          SPI_PROGRESS progress, intptr_t data)
{
    return spi::picture(buf, len, flag, hbminfo, hbm, progress, data, decode);
}
