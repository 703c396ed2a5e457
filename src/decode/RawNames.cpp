#include "decode/RawDecoder.h"

// The names are needed to list and group files long before any RAW file is
// decoded, so they live apart from LibRaw.
const QStringList &RawExtensions()
{
    static const QStringList list = {"cr2", "cr3", "nef", "nrw", "arw", "sr2", "raf", "orf",
                                     "rw2", "pef", "dng", "srw", "3fr", "iiq", "x3f"};
    return list;
}

bool HasRawExtension(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash)
        return false;
    return RawExtensions().contains(path.mid(dot + 1).toLower());
}
