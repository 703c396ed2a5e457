// What a plug-in hands back: any BITMAPINFO and pixel block. Whatever the
// check accepts must convert and save without reading past either block.
#include "FuzzSupport.h"
#include "decode/spi/SpiDib.h"

#include <QBuffer>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t infoLen = std::min<size_t>(size - 2, size_t(data[0] | data[1] << 8));
    // Separate blocks of exactly these sizes, so that ASan sees any overrun.
    std::unique_ptr<uint8_t[]> info(new uint8_t[infoLen ? infoLen : 1]);
    std::memcpy(info.get(), data + 2, infoLen);
    const size_t bitsLen = size - 2 - infoLen;
    std::unique_ptr<uint8_t[]> bits(new uint8_t[bitsLen ? bitsLen : 1]);
    std::memcpy(bits.get(), data + 2 + infoLen, bitsLen);

    DibLayout layout;
    if (!CheckDib(info.get(), qint64(infoLen), qint64(bitsLen), layout))
        return 0;
    GD_FUZZ_CHECK(layout.infoSize <= qint64(infoLen) && layout.bitsSize <= qint64(bitsLen));
    const QImage image = DibToImage(info.get(), bits.get(), layout);
    GD_FUZZ_CHECK(image.isNull() ||
                  (image.width() == layout.width && image.height() == std::abs(layout.height)));
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    GD_FUZZ_CHECK(WriteDibAsBmp(out, info.get(), bits.get(), layout));
    return 0;
}
