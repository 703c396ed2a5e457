#pragma once
// Drives a plug-in's entry points (linked in) the way the viewer does:
// IsSupported on a 2 KB header, the picture information, then the picture,
// whose bitmap the viewer checks before using it.
#include "FuzzSupport.h"
#include "decode/spi/SpiDib.h"
#include "spi_sdk.h"

#include <cstring>
#include <vector>

extern "C" {
SPI_EXPORT int IsSupported(const char *fileName, uintptr_t dw);
SPI_EXPORT int GetPictureInfo(const char *buf, intptr_t len, unsigned int flag, TPictureInfo *info);
SPI_EXPORT int GetPicture(const char *buf, intptr_t len, unsigned int flag, HLOCAL *hbminfo, HLOCAL *hbm,
                          SPI_PROGRESS progress, intptr_t data);
}

// Pictures past this many pixels are skipped: they cost time, not coverage.
constexpr qint64 kFuzzMaxPixels = qint64(512) * 512;

inline int fuzzPlugin(const uint8_t *data, size_t size)
{
    std::vector<char> header(2048, 0);
    std::memcpy(header.data(), data, std::min<size_t>(size, header.size()));
    IsSupported("fuzz", reinterpret_cast<uintptr_t>(header.data()));

    const char *buf = reinterpret_cast<const char *>(data);
    TPictureInfo info{};
    if (GetPictureInfo(buf, intptr_t(size), SPI_INPUT_MEMORY, &info) != SPI_ALL_RIGHT)
        return 0;
    if (info.HInfo)
        LocalFree(info.HInfo);
    if (qint64(info.Width) * info.Height > kFuzzMaxPixels)
        return 0;
    HLOCAL hinfo = nullptr, hbits = nullptr;
    if (GetPicture(buf, intptr_t(size), SPI_INPUT_MEMORY, &hinfo, &hbits, nullptr, 0) != SPI_ALL_RIGHT)
        return 0;
    DibLayout layout;
    GD_FUZZ_CHECK(CheckDib(LocalLock(hinfo), qint64(LocalSize(hinfo)), qint64(LocalSize(hbits)), layout));
    GD_FUZZ_CHECK(layout.width == info.Width && std::abs(layout.height) == info.Height);
    const QImage image = DibToImage(LocalLock(hinfo), LocalLock(hbits), layout);
    GD_FUZZ_CHECK(!image.isNull());
    LocalFree(hinfo);
    LocalFree(hbits);
    return 0;
}
