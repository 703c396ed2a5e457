#pragma once
// Safe extraction of a zip archive into a folder.
//
// Nothing lands outside the folder: names with "..", absolute names, drive
// letters and symbolic-link entries are skipped. Names not flagged UTF-8
// are read as CP932 when they are valid CP932, else as CP437 (a matching
// Info-ZIP Unicode path field wins). Each file is written under a temporary
// name and renamed only when complete and its CRC checked, so a damaged
// entry never leaves a half-written file.
//
// Sizes in the archive are claims, so every limit is checked against the
// bytes actually written, while writing: extraction stops before the disk
// would fill, an entry may not grow past its declared size, and entries
// and archives past the size and compression-ratio limits below (what
// archive tools do against zip bombs) are refused with a message.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

struct ZipExtractResult {
    // Why entries (or the whole archive) could not be extracted, one line
    // each, for the user; empty when everything safe was extracted.
    QStringList problems;
    // Entries left out because their name or kind would escape the folder.
    QStringList unsafe;
    int written = 0;
    // The progress callback asked to stop.
    bool cancelled = false;
    bool ok() const { return problems.isEmpty(); }
};

struct ZipExtractOptions {
    // Free space that must remain on the target file system.
    int64_t reserveBytes = 64ll * 1024 * 1024;
    // Largest file taken out of an archive. No picture the viewer shows is
    // larger than its decoding budget (256 MiB); a nested archive may be.
    int64_t maxEntryBytes = 1ll << 30;
    // Most bytes one archive may put on disk.
    int64_t maxTotalBytes = 4ll << 30;
    // Past the first ratioGraceBytes, an archive may put on disk at most
    // maxRatio times its own size: pictures hardly compress, a bomb does
    // a thousandfold.
    int64_t maxRatio = 100;
    int64_t ratioGraceBytes = 64ll * 1024 * 1024;
    // Called after every block written with the bytes written so far and
    // the archive's declared total; returning false cancels the extraction
    // (the file being written is removed, finished ones stay).
    std::function<bool(int64_t written, int64_t total)> progress;
};

// Splits an entry name (already decoded) into the parts of its path below
// the extraction folder; false when the name would leave the folder
// (absolute, "..", a drive letter) or names nothing. Backslashes separate
// too: archives made on Windows use them.
bool SafeZipEntryParts(const QString &name, QStringList &parts, bool &isDir);

// The name of an entry from its raw bytes and libzip's strict decoding:
// UTF-8 when flagged so (or given by a checked Unicode path field), else
// the legacy decoding below.
QString ZipEntryName(const QByteArray &raw, const QByteArray &strict);

ZipExtractResult ExtractZip(const QString &archive, const QString &folder, const ZipExtractOptions &opt = {});

// Decodes an entry name that carries no UTF-8 flag: CP932 when the bytes
// are valid CP932, else CP437.
QString DecodeLegacyZipName(const QByteArray &raw);
