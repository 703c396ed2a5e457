// A configurable plug-in used only by the tests. Compile definitions choose
// its version, patterns, missing exports and faults. It decodes a tiny format:
// "TSTP", width and height (16-bit little-endian), then one BGR colour that
// fills the picture (or the colour TEST_COLOR when defined).
#include "common/PluginSupport.h"

// Each test plug-in is this file built with one GD_TEST_<name> definition.
#if defined(GD_TEST_second)
#define TEST_COLOR 0, 0, 255
#elif defined(GD_TEST_preview)
#define TEST_PREVIEW
#define TEST_COLOR 0, 255, 0
#elif defined(GD_TEST_noinfo)
#define TEST_NO_GETPLUGININFO
#elif defined(GD_TEST_nopicture)
#define TEST_NO_GETPICTURE
#elif defined(GD_TEST_archive)
#define TEST_ARCHIVE
#define TEST_VERSION "00AM"
#elif defined(GD_TEST_export)
#define TEST_VERSION "00XN"
#elif defined(GD_TEST_lower)
#define TEST_VERSION "00in"
#elif defined(GD_TEST_blank)
#define TEST_VERSION "00IN "
#elif defined(GD_TEST_badbits)
#define TEST_MALFORMED_BITCOUNT
#elif defined(GD_TEST_shortbits)
#define TEST_MALFORMED_SHORT_BITS
#elif defined(GD_TEST_huge)
#define TEST_MALFORMED_HUGE
#elif defined(GD_TEST_progress)
#define TEST_PROGRESS
#elif defined(GD_TEST_pairs)
#define TEST_INFO "00IN", "t", "*.aa", "A", "*.bb;*.cc", "B", "*.dd", "D", "*.ee"
#elif defined(GD_TEST_unpaired)
#define TEST_INFO "00IN", "t", "*.aa"
#elif defined(GD_TEST_picjpg)
#define TEST_INFO "00IN", "t", "*.pic;*.jpg", "P"
#elif defined(GD_TEST_jpgpic)
#define TEST_INFO "00IN", "t", "*.jpg;*.pic", "P"
#elif defined(GD_TEST_jpgjpeg)
#define TEST_INFO "00IN", "t", "*.jpg;*.jpeg", "J"
#endif

#ifndef TEST_VERSION
#define TEST_VERSION "00IN"
#endif
#ifndef TEST_INFO
#define TEST_INFO TEST_VERSION, "test plug-in", "*.tst", "Test picture"
#endif

namespace
{
const char *const kInfo[] = {TEST_INFO};
int g_pictureCalls = 0;

bool header(const uint8_t *p, size_t size, int &w, int &h)
{
    if (size < 11 || std::memcmp(p, "TSTP", 4) != 0)
        return false;
    w = p[4] | (p[5] << 8);
    h = p[6] | (p[7] << 8);
    return w > 0 && h > 0;
}

[[maybe_unused]] int picture(const char *buf, intptr_t len, unsigned flag, HLOCAL *hinfo, HLOCAL *hbm,
                             SPI_PROGRESS progress, intptr_t data)
{
    ++g_pictureCalls;
    spi::Input in;
    int w = 0, h = 0;
    if (!in.open(buf, len, flag) || !header(in.data, in.size, w, h))
        return SPI_NOT_SUPPORT;
#ifdef TEST_PROGRESS
    for (int i = 0; i <= 4; ++i)
        if (progress && progress(i, 4, data))
            return SPI_ABORT;
#else
    (void)progress;
    (void)data;
#endif
    spi::Dib dib;
    if (!dib.create(w, h, 24, 0))
        return SPI_NO_MEMORY;
#ifdef TEST_COLOR
    const uint8_t c[3] = {TEST_COLOR};
#else
    const uint8_t *c = in.data + 8;
#endif
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            std::memcpy(dib.row(y) + x * 3, c, 3);
#if defined(TEST_MALFORMED_BITCOUNT)
    static_cast<SPI_BITMAPINFOHEADER *>(LocalLock(dib.info))->biBitCount = 7;
#elif defined(TEST_MALFORMED_SHORT_BITS)
    LocalFree(dib.bits);
    dib.bits = LocalAlloc(LPTR, 4);
#elif defined(TEST_MALFORMED_HUGE)
    static_cast<SPI_BITMAPINFOHEADER *>(LocalLock(dib.info))->biHeight = -0x7fffffff;
#endif
    dib.handOver(hinfo, hbm);
    return SPI_ALL_RIGHT;
}
} // namespace

SPI_EXPORT int TestGetPictureCalls()
{
    return g_pictureCalls;
}

#ifndef TEST_NO_GETPLUGININFO
SPI_EXPORT int GetPluginInfo(int infono, char *buf, int buflen)
{
    return spi::pluginInfo(kInfo, int(sizeof kInfo / sizeof kInfo[0]), infono, buf, buflen);
}
#endif

SPI_EXPORT int IsSupported(const char *, uintptr_t dw)
{
    int w, h;
    return dw && header(reinterpret_cast<const uint8_t *>(dw), 2048, w, h) ? 1 : 0;
}

#ifdef TEST_ARCHIVE
SPI_EXPORT int GetArchiveInfo(const char *, intptr_t, unsigned int, HLOCAL *)
{
    return SPI_NOT_SUPPORT;
}
SPI_EXPORT int GetFileInfo(const char *, intptr_t, const char *, unsigned int, TFileInfo *)
{
    return SPI_NOT_SUPPORT;
}
SPI_EXPORT int GetFile(const char *, intptr_t, char *, unsigned int, SPI_PROGRESS, intptr_t)
{
    return SPI_NOT_SUPPORT;
}
#else
SPI_EXPORT int GetPictureInfo(const char *buf, intptr_t len, unsigned int flag, TPictureInfo *info)
{
    spi::Input in;
    int w = 0, h = 0;
    if (!info || !in.open(buf, len, flag) || !header(in.data, in.size, w, h))
        return SPI_NOT_SUPPORT;
    *info = TPictureInfo{};
    info->Width = w;
    info->Height = h;
    info->ColorDepth = 24;
    info->HInfo = LocalAlloc(LPTR, 16); // released by the host
    return SPI_ALL_RIGHT;
}

#ifndef TEST_NO_GETPICTURE
SPI_EXPORT int GetPicture(const char *buf, intptr_t len, unsigned int flag, HLOCAL *hinfo, HLOCAL *hbm,
                          SPI_PROGRESS progress, intptr_t data)
{
    return picture(buf, len, flag, hinfo, hbm, progress, data);
}
#endif

#ifdef TEST_PREVIEW
SPI_EXPORT int GetPreview(const char *buf, intptr_t len, unsigned int flag, HLOCAL *hinfo, HLOCAL *hbm,
                          SPI_PROGRESS progress, intptr_t data)
{
    return picture(buf, len, flag, hinfo, hbm, progress, data);
}
#endif
#endif
