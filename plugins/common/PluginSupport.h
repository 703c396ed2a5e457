// Small helpers shared by the plug-ins shipped with the viewer (header-only,
// each plug-in gets its own copy).
#pragma once
#include "spi_sdk.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace spi
{

// The picture data a call refers to: a file from an offset on, or memory.
struct Input {
    const uint8_t *data = nullptr;
    size_t size = 0;
    std::vector<uint8_t> owned;

    bool open(const char *buf, intptr_t len, unsigned flag)
    {
        if ((flag & 7u) == SPI_INPUT_MEMORY) {
            if (!buf || len < 0)
                return false;
            data = reinterpret_cast<const uint8_t *>(buf);
            size = size_t(len);
            return true;
        }
        if (!buf || len < 0)
            return false;
        FILE *f = std::fopen(buf, "rb");
        if (!f)
            return false;
        bool ok = std::fseek(f, 0, SEEK_END) == 0;
        const long end = ok ? std::ftell(f) : -1;
        ok = ok && end >= len && std::fseek(f, long(len), SEEK_SET) == 0;
        if (ok) {
            owned.resize(size_t(end - len));
            ok = owned.empty() || std::fread(owned.data(), 1, owned.size(), f) == owned.size();
        }
        std::fclose(f);
        data = owned.data();
        size = owned.size();
        return ok;
    }
};

// A DIB under construction: BITMAPINFO and pixel blocks from LocalAlloc.
struct Dib {
    HLOCAL info = nullptr;
    HLOCAL bits = nullptr;
    size_t stride = 0;
    int height = 0;

    // Rows are top-down (negative biHeight), so row y is at bits + y * stride.
    bool create(int width, int h, int bitCount, int colors)
    {
        stride = size_t(SPI_DIB_STRIDE(width, bitCount));
        height = h;
        info = LocalAlloc(LPTR, sizeof(SPI_BITMAPINFOHEADER) + size_t(colors) * 4);
        bits = LocalAlloc(LMEM_FIXED, stride * size_t(h));
        if (!info || !bits) {
            release();
            return false;
        }
        auto *bh = static_cast<SPI_BITMAPINFOHEADER *>(LocalLock(info));
        bh->biSize = sizeof(SPI_BITMAPINFOHEADER);
        bh->biWidth = width;
        bh->biHeight = -h;
        bh->biPlanes = 1;
        bh->biBitCount = uint16_t(bitCount);
        bh->biCompression = SPI_BI_RGB;
        bh->biSizeImage = uint32_t(stride * size_t(h));
        bh->biClrUsed = uint32_t(colors);
        std::memset(LocalLock(bits), 0, stride * size_t(h));
        return true;
    }
    SPI_RGBQUAD *palette()
    {
        return reinterpret_cast<SPI_RGBQUAD *>(static_cast<uint8_t *>(LocalLock(info)) +
                                               sizeof(SPI_BITMAPINFOHEADER));
    }
    void setColor(int i, uint8_t r, uint8_t g, uint8_t b) { palette()[i] = SPI_RGBQUAD{b, g, r, 0}; }
    uint8_t *row(int y) { return static_cast<uint8_t *>(LocalLock(bits)) + size_t(y) * stride; }
    void release()
    {
        LocalFree(info);
        LocalFree(bits);
        info = bits = nullptr;
    }
    void handOver(HLOCAL *hinfo, HLOCAL *hbits)
    {
        *hinfo = info;
        *hbits = bits;
        info = bits = nullptr;
    }
};

// Reports progress every 64 rows; true when the host asks to stop.
inline bool aborted(SPI_PROGRESS progress, intptr_t data, int y, int height)
{
    return progress && (y % 64 == 0 || y == height) && progress(y, height, data) != 0;
}

// Copies information string `infoNo` of `table` into buf; returns its length or 0.
inline int pluginInfo(const char *const *table, int count, int infoNo, char *buf, int buflen)
{
    if (infoNo < 0 || infoNo >= count || !buf || buflen <= 0)
        return 0;
    const size_t n = std::strlen(table[infoNo]);
    const size_t copy = n < size_t(buflen) ? n : size_t(buflen) - 1;
    std::memcpy(buf, table[infoNo], copy);
    buf[copy] = 0;
    return int(copy);
}

// The entry points every simple import filter shares. `Parse` reads a
// header from the first bytes, `Describe` fills the picture information from
// it, `Decode` produces the bitmap.
template <class Header, class Parse> int isSupported(uintptr_t dw, Parse parse)
{
    Header h;
    return dw && parse(reinterpret_cast<const uint8_t *>(dw), 2048, h) ? 1 : 0;
}

template <class Header, class Parse, class Describe>
int pictureInfo(const char *buf, intptr_t len, unsigned int flag, TPictureInfo *info, Parse parse,
                Describe describe)
{
    Input in;
    Header h;
    if (!info)
        return SPI_OTHER_ERROR;
    if (!in.open(buf, len, flag))
        return SPI_FILE_READ_ERROR;
    if (!parse(in.data, in.size, h))
        return SPI_NOT_SUPPORT;
    *info = TPictureInfo{};
    info->Width = h.width;
    info->Height = h.height;
    describe(h, *info);
    return SPI_ALL_RIGHT;
}

template <class Decode>
int picture(const char *buf, intptr_t len, unsigned int flag, HLOCAL *hbminfo, HLOCAL *hbm,
            SPI_PROGRESS progress, intptr_t data, Decode decode)
{
    if (!hbminfo || !hbm)
        return SPI_OTHER_ERROR;
    Input in;
    if (!in.open(buf, len, flag))
        return SPI_FILE_READ_ERROR;
    return decode(in, hbminfo, hbm, progress, data);
}

} // namespace spi
