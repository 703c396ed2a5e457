#pragma once
// The decoders that need the large format libraries (LibRaw, libheif,
// libavif, libjxl and Little CMS, with some forty libraries behind them)
// are built into a module of their own, loaded the first time a picture
// needs one of them. A viewer that shows JPEG and PNG never maps those
// libraries, and starts that much sooner. The rest of the program calls
// the decoders by their usual names (FormatDecoders.h, RawDecoder.h,
// ColourProfile.h, FrameSource.h); those calls go through here.
#include "decode/FormatDecoders.h"
#include "decode/FrameSource.h"
#include "decode/RawDecoder.h"

#include <memory>

struct FormatCalls {
    FormatResult (*decodeRaw)(QByteArrayView data, QSize area, bool turn, bool develop, RawPicture &out);
    FormatResult (*decodeRawFrom)(const RawReader &read, qint64 size, QSize area, bool turn, bool develop,
                                  RawPicture &out);
    FormatResult (*decodeHeif)(QByteArrayView data, DecodedStill &out);
    FormatResult (*decodeAvif)(QByteArrayView data, DecodedStill &out);
    FormatResult (*decodeJpegXl)(QByteArrayView data, DecodedStill &out);
    std::unique_ptr<FrameSource> (*openAvifFrames)(const QByteArray &data);
    std::unique_ptr<FrameSource> (*openJpegXlFrames)(const QByteArray &data);
    bool (*convertToDisplaySpace)(QImage &image, const QByteArray &icc);
    void (*setDisplayProfile)(const QByteArray &icc);
    QByteArray (*iccFromCicp)(int primaries, int transfer);
};

// Raised whenever FormatCalls changes, so that a module from another build
// is refused rather than called wrongly.
inline constexpr int kFormatCallsVersion = 2;

// The module's one exported function: the calls, given the version the
// program expects and the program's own cancellation check (DecodeCancel.h).
#define GD_FORMAT_MODULE_ENTRY "glimmerdeck_format_calls"
using FormatModuleEntry = const FormatCalls *(*)(int version, bool (*cancelled)());

// File name of the module.
#define GD_FORMAT_MODULE_NAME "glimmerdeck-formats.so"

// The module's calls, loaded on the first call (any thread); null when the
// module is missing or does not fit, and the formats it decodes then do not
// show. Once the application object exists the answer is final; before, a
// module not found is looked for again on the next call.
const FormatCalls *FormatModule();
