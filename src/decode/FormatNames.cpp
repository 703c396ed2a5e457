#include "decode/FormatNames.h"

#include <algorithm>

// The names are needed to list and group files long before any of them is
// decoded, so they live apart from the libraries.
namespace
{

// The extension of the file name; empty when it has none or one longer
// than any listed here. Checked for every file of a list: no copies.
QStringView extensionOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash || path.size() - dot > 5)
        return {};
    return QStringView(path).mid(dot + 1);
}

bool listed(const QStringList &list, QStringView ext)
{
    return !ext.isEmpty() && std::any_of(list.begin(), list.end(), [ext](const QString &e) {
        return ext.compare(e, Qt::CaseInsensitive) == 0;
    });
}

} // namespace

const QStringList &RawExtensions()
{
    static const QStringList list = {"cr2", "cr3", "nef", "nrw", "arw", "sr2", "raf", "orf",
                                     "rw2", "pef", "dng", "srw", "3fr", "iiq", "x3f"};
    return list;
}

const QStringList &ModernExtensions()
{
    static const QStringList list = {"heic", "heif", "hif", "avif", "jxl"};
    return list;
}

bool HasRawExtension(const QString &path)
{
    return listed(RawExtensions(), extensionOf(path));
}

bool NeedsFormatModule(const QString &path)
{
    const QStringView ext = extensionOf(path);
    return listed(RawExtensions(), ext) || listed(ModernExtensions(), ext);
}
