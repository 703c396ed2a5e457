// Colour profiles from anywhere: as a profile handed to the converter, and
// as JPEG data whose APP2 chunks are joined into one.
#include "FuzzSupport.h"
#include "decode/ColourProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = bytesOf(data, size);
    QImage rgb(7, 5, QImage::Format_RGB32);
    rgb.fill(qRgb(200, 100, 50));
    ConvertToDisplaySpace(rgb, bytes);
    GD_FUZZ_CHECK(rgb.size() == QSize(7, 5));
    QImage grey(3, 2, QImage::Format_Grayscale8);
    grey.fill(128);
    ConvertToDisplaySpace(grey, bytes);
    const QByteArray joined = ReadJpegIccProfile(bytes);
    GD_FUZZ_CHECK(joined.size() <= bytes.size());
    if (!joined.isEmpty())
        ConvertToDisplaySpace(rgb, joined);
    return 0;
}
