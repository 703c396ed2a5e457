// The shipped PCX plug-in's decoder over any bytes.
#include "PluginDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzPlugin(data, size);
}
