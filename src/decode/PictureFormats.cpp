#include "decode/PictureFormats.h"

#include "decode/FormatNames.h"

#include <QImageReader>
#include <QSet>
#include <utility>

namespace
{

struct Known {
    const char *ext;
    const char *description;
};

// Descriptions of the types a desktop user meets; anything else Qt reads
// gets a generic one.
constexpr Known kKnown[] = {
    {"gif", "GIF Image"},
    {"jpg", "JPEG Image File"},
    {"jpeg", "JPEG Image File"},
    {"png", "Portable Network Graphics"},
    {"bmp", "Bitmaps"},
    {"ico", "Icons"},
    {"wmf", "Metafiles"},
    {"emf", "Enhanced Metafiles"},
    {"tif", "TIFF Image"},
    {"tiff", "TIFF Image"},
    {"webp", "WebP Image"},
    {"tga", "Truevision TGA Image"},
    {"svg", "Scalable Vector Graphics"},
    {"svgz", "Scalable Vector Graphics (compressed)"},
    {"cur", "Cursors"},
    {"icns", "Apple Icon Image"},
    {"pbm", "Portable Bitmap"},
    {"pgm", "Portable Graymap"},
    {"ppm", "Portable Pixmap"},
    {"xbm", "X11 Bitmap"},
    {"xpm", "X11 Pixmap"},
    {"wbmp", "Wireless Bitmap"},
    {"mng", "Multiple-image Network Graphics"},
    {"heic", "HEIF Image"},
    {"heif", "HEIF Image"},
    {"hif", "HEIF Image"},
    {"avif", "AVIF Image"},
    {"jxl", "JPEG XL Image"},
};

QString describe(const QString &ext)
{
    for (const Known &k : kKnown) {
        if (ext == QLatin1String(k.ext))
            return QString::fromLatin1(k.description);
    }
    if (RawExtensions().contains(ext))
        return QStringLiteral("Camera RAW");
    return ext.toUpper() + QStringLiteral(" Image");
}

} // namespace

PictureFormats::PictureFormats()
{
    addQtFormats();
}

void PictureFormats::addQtFormats()
{
    if (qtAdded_)
        return;
    qtAdded_ = true;
    // The classic set first, in its usual order, then the rest of what this
    // machine's Qt reads. Only what a decoder here reads is offered: no Qt
    // image plug-in reads metafiles, and TIFF needs one that may be missing.
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    const QList<Format> added = std::exchange(formats_, {});
    QSet<QString> seen;
    for (const char *ext : {"gif", "jpg", "jpeg", "png", "bmp", "ico", "wmf", "emf", "tif", "tiff"}) {
        if (!readable.contains(QByteArray(ext)))
            continue;
        const QString e = QString::fromLatin1(ext);
        formats_.append({e, describe(e), false});
        seen.insert(e);
    }
    for (const QByteArray &f : readable) {
        const QString e = normalise(QString::fromLatin1(f));
        if (e.isEmpty() || seen.contains(e))
            continue;
        formats_.append({e, describe(e), false});
        seen.insert(e);
    }
    // Decoded by the libraries built in, whatever Qt has plug-ins for.
    const QStringList own = ModernExtensions() + RawExtensions();
    for (const QString &e : own) {
        if (!seen.contains(e))
            formats_.append({e, describe(e), false});
        seen.insert(e);
    }
    formats_.append(added); // registered earlier, still the newest
}

QString PictureFormats::normalise(const QString &extension)
{
    QString e = extension.trimmed().toLower();
    if (e.startsWith(QLatin1Char('.')))
        e.remove(0, 1);
    return e;
}

void PictureFormats::addFormat(const QString &extension, const QString &description)
{
    const QString e = normalise(extension);
    // Characters that would break the dialog's pattern list are refused.
    if (e.isEmpty() || e.contains(QLatin1Char(' ')) || e.contains(QLatin1Char(';')) ||
        e.contains(QLatin1Char('(')) || e.contains(QLatin1Char(')')) || e.contains(QLatin1Char('*')))
        return;
    QString d = description.simplified();
    d.remove(QLatin1Char('(')).remove(QLatin1Char(')')).remove(QLatin1Char(';'));
    formats_.append({e, d.isEmpty() ? describe(e) : d, true});
}

void PictureFormats::removePluginFormats()
{
    formats_.removeIf([](const Format &f) { return f.plugin; });
}

const PictureFormats::Format *PictureFormats::find(const QString &extension) const
{
    const QString e = normalise(extension);
    for (qsizetype i = formats_.size() - 1; i >= 0; --i) {
        if (formats_[i].extension == e)
            return &formats_[i];
    }
    return nullptr;
}

bool PictureFormats::isPictureFile(const QString &path) const
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    if (dot <= slash)
        return false;
    return find(path.mid(dot + 1)) != nullptr;
}

QString PictureFormats::filter() const
{
    // Each extension once in the "all" entry; one entry per description,
    // newest registration's description first.
    QStringList all;
    QSet<QString> seenExt;
    QList<QPair<QString, QStringList>> groups;
    for (qsizetype i = formats_.size() - 1; i >= 0; --i) {
        const Format &f = formats_[i];
        if (seenExt.contains(f.extension))
            continue;
        seenExt.insert(f.extension);
        auto it = std::find_if(groups.begin(), groups.end(),
                               [&](const auto &g) { return g.first == f.description; });
        if (it == groups.end())
            groups.append({f.description, {}}), it = groups.end() - 1;
        it->second.prepend(QStringLiteral("*.") + f.extension);
        all.prepend(QStringLiteral("*.") + f.extension);
    }
    std::reverse(groups.begin(), groups.end());
    QStringList parts{QStringLiteral("すべての画像 (") + all.join(QLatin1Char(' ')) + QLatin1Char(')')};
    for (const auto &g : groups)
        parts.append(g.first + QStringLiteral(" (") + g.second.join(QLatin1Char(' ')) + QLatin1Char(')'));
    return parts.join(QStringLiteral(";;"));
}
