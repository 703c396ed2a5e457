#pragma once
// Safe extraction of a zip archive into a folder.
//
// Nothing lands outside the folder: names with "..", absolute names, drive
// letters and symbolic-link entries are skipped. Names not flagged UTF-8
// are read as CP932 when they are valid CP932, else as CP437 (a matching
// Info-ZIP Unicode path field wins). Each file is written under a temporary
// name and renamed only when complete and its CRC checked, so a damaged
// entry never leaves a half-written file. Extraction stops before the disk
// would fill.
#include <QString>
#include <QStringList>
#include <cstdint>

struct ZipExtractResult {
    // Why entries (or the whole archive) could not be extracted, one line
    // each, for the user; empty when everything safe was extracted.
    QStringList problems;
    // Entries left out because their name or kind would escape the folder.
    QStringList unsafe;
    int written = 0;
    bool ok() const { return problems.isEmpty(); }
};

struct ZipExtractOptions {
    // Free space that must remain on the target file system.
    int64_t reserveBytes = 64ll * 1024 * 1024;
};

ZipExtractResult ExtractZip(const QString &archive, const QString &folder, const ZipExtractOptions &opt = {});

// Decodes an entry name that carries no UTF-8 flag: CP932 when the bytes
// are valid CP932, else CP437.
QString DecodeLegacyZipName(const QByteArray &raw);
