#pragma once
// The file name extensions of the formats that the format module decodes
// (FormatModule.h): camera RAWs through LibRaw, HEIF/HEIC, AVIF and JPEG XL
// through their libraries. The one list that the picture registry, the
// early start and the module's loading all go by. Lower case, no dot; a
// file's extension matches in any letter case.
#include <QString>
#include <QStringList>

// The RAW formats: CR2, CR3, NEF, NRW, ARW, SR2, RAF, ORF, RW2, PEF, DNG,
// SRW, 3FR, IIQ, X3F.
const QStringList &RawExtensions();
// HEIF/HEIC (with Fujifilm's "hif"), AVIF and JPEG XL.
const QStringList &ModernExtensions();

bool HasRawExtension(const QString &path);
// A RAW, HEIF, AVIF or JPEG XL by its name: showing it loads the format module.
bool NeedsFormatModule(const QString &path);
