#pragma once
// The decoders that need the large format libraries are built into modules
// of their own, loaded the first time a picture needs one of them: LibRaw
// alone, which loads in a few milliseconds, and the HEIF, AVIF and JPEG XL
// codecs with Little CMS, some forty libraries that take tens of
// milliseconds. A viewer that shows JPEG and PNG never maps those
// libraries, and starts that much sooner; one that shows RAWs maps LibRaw
// only (unless a preview carries a colour profile). The rest of the
// program calls the decoders by their usual names (FormatDecoders.h,
// RawDecoder.h, ColourProfile.h, FrameSource.h); those calls go through
// here.
#include "decode/FormatDecoders.h"
#include "decode/FrameSource.h"
#include "decode/RawDecoder.h"

#include <memory>
#include <optional>

struct FormatCalls {
    FormatResult (*decodeRaw)(QByteArrayView data, QSize area, bool turn, bool develop,
                              RawPicture &out) = nullptr;
    FormatResult (*decodeRawFrom)(const RawReader &read, qint64 size, QSize area, bool turn, bool develop,
                                  RawPicture &out) = nullptr;
    FormatResult (*decodeHeif)(QByteArrayView data, DecodedStill &out) = nullptr;
    FormatResult (*decodeAvif)(QByteArrayView data, DecodedStill &out) = nullptr;
    FormatResult (*decodeJpegXl)(QByteArrayView data, DecodedStill &out) = nullptr;
    std::unique_ptr<FrameSource> (*openAvifFrames)(const QByteArray &data) = nullptr;
    std::unique_ptr<FrameSource> (*openJpegXlFrames)(const QByteArray &data) = nullptr;
    bool (*convertToDisplaySpace)(QImage &image, const QByteArray &icc) = nullptr;
    void (*setDisplayProfile)(const QByteArray &icc) = nullptr;
    QByteArray (*iccFromCicp)(int primaries, int transfer) = nullptr;
};

// Raised whenever FormatCalls changes, so that a module from another build
// is refused rather than called wrongly.
inline constexpr int kFormatCallsVersion = 3;

// Each module's one exported function: the calls, given the version the
// program expects and the program's own cancellation check (DecodeCancel.h).
// The calls a module does not carry are null.
#define GD_FORMAT_MODULE_ENTRY "glimmerdeck_format_calls"
using FormatModuleEntry = const FormatCalls *(*)(int version, bool (*cancelled)());

enum class FormatModuleKind {
    Raw,    // "glimmerdeck-raw.so": decodeRaw, decodeRawFrom
    Codecs, // "glimmerdeck-formats.so": everything else
};

// A module's calls, loaded on the first call (any thread); null when the
// module is missing or does not fit, and the formats it decodes then do not
// show. Once the application object exists the answer is final; before, a
// module not found is looked for again on the next call.
const FormatCalls *FormatModule(FormatModuleKind kind);

// The module a file needs by its name (FormatNames.h); nothing for the
// formats the program decodes itself.
std::optional<FormatModuleKind> FormatModuleFor(const QString &path);

// When some of `paths` need a module that nobody has asked for yet: starts
// loading it on a thread of its own and returns at once, so that the first
// of those pictures does not wait for the libraries. Called whenever a list
// is made; a list of JPEGs and PNGs loads nothing. A decode that needs the
// module meanwhile waits for that load.
void LoadFormatModulesSoonFor(const QStringList &paths);

// True once the module has been asked for, to load now or soon.
bool FormatModuleAskedFor(FormatModuleKind kind);
