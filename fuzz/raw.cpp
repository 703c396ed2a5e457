// The RAW wrapper over any bytes: previews and developed pictures within
// the budget, the preview decoded as the loader does.
#include "FuzzSupport.h"
#include "decode/DecodeLimits.h"
#include "decode/JpegDecoder.h"
#include "decode/RawDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    for (bool develop : {false, true}) {
        RawPicture raw;
        const FormatResult r = DecodeRaw(bytes, QSize(800, 600), true, develop, raw);
        if (r != FormatResult::Ok)
            continue;
        GD_FUZZ_CHECK(PictureSizeAllowed(raw.size));
        GD_FUZZ_CHECK(!raw.jpeg.isEmpty() || !raw.image.isNull());
        GD_FUZZ_CHECK(raw.jpeg.size() <= kMaxDecodeBytes);
        if (!raw.jpeg.isEmpty()) {
            QImage image;
            QSize natural;
            DecodeJpeg(raw.jpeg, QSize(800, 600), image, natural);
        }
    }
    return 0;
}
