// The JPEG XL decoder wrapper over any bytes: never more than the budget, and
// a picture only of a size the budget allows.
#include "FuzzSupport.h"
#include "decode/DecodeLimits.h"
#include "decode/FormatDecoders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DecodedStill still;
    const FormatResult r = DecodeJpegXl(bytesOf(data, size), still);
    GD_FUZZ_CHECK(r != FormatResult::Ok || (PictureSizeAllowed(still.image.size()) && !still.image.isNull()));
    return 0;
}
