// Built into each format module only (FormatModule.h): hands the program the
// decoders of that module and takes its cancellation check in return.
#include "decode/ColourProfile.h"
#include "decode/DecodeCancel.h"
#include "decode/FormatModule.h"

namespace
{
bool (*programCancelled)() = nullptr;
}

// The flag lives in the program, per thread: ask the program.
bool DecodeCancelled()
{
    return programCancelled && programCancelled();
}

extern "C" __attribute__((visibility("default"))) const FormatCalls *
glimmerdeck_format_calls(int version, bool (*cancelled)())
{
    if (version != kFormatCallsVersion)
        return nullptr;
    programCancelled = cancelled;
#ifdef GD_RAW_MODULE
    static const FormatCalls calls{.decodeRaw = DecodeRaw, .decodeRawFrom = DecodeRawFrom};
#else
    static const FormatCalls calls{.decodeHeif = DecodeHeif,
                                   .decodeAvif = DecodeAvif,
                                   .decodeJpegXl = DecodeJpegXl,
                                   .openAvifFrames = OpenAvifFrames,
                                   .openJpegXlFrames = OpenJpegXlFrames,
                                   .convertToDisplaySpace = ConvertToDisplaySpace,
                                   .setDisplayProfile = SetDisplayProfile,
                                   .iccFromCicp = IccFromCicp};
#endif
    return &calls;
}
