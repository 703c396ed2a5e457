// Built into the format module only (FormatModule.h): hands the program the
// decoders and takes its cancellation check in return.
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
    static const FormatCalls calls{DecodeRaw,
                                   DecodeRawFrom,
                                   DecodeHeif,
                                   DecodeAvif,
                                   DecodeJpegXl,
                                   OpenAvifFrames,
                                   OpenJpegXlFrames,
                                   ConvertToDisplaySpace,
                                   SetDisplayProfile,
                                   IccFromCicp};
    return &calls;
}
