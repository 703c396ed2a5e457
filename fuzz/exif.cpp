// The orientation tag reader over any bytes (JPEG, TIFF, PNG and WebP
// layouts), from memory and from a file alike.
#include "FuzzSupport.h"
#include "decode/ExifOrientation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const int fromMemory =
        ReadExifOrientation(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    GD_FUZZ_CHECK(fromMemory >= 0 && fromMemory <= 0xFFFF);
    MemoryFile file(data, size);
    if (file.ok())
        GD_FUZZ_CHECK(ReadExifOrientationFile(file.path()) == fromMemory);
    return 0;
}
