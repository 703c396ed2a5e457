#include "desktop/FileMime.h"

#include <QDir>
#include <QImage>
#include <QMimeData>
#include <QSysInfo>
#include <QUrl>

QMimeData *FileMimeData(const QString &path, const QImage *image)
{
    auto *mime = new QMimeData;
    if (image)
        mime->setImageData(*image);
    if (path.isEmpty())
        return mime;
    const QUrl url = QUrl::fromLocalFile(path);
    mime->setUrls({url});
    const QByteArray encoded = url.toEncoded();
    mime->setData(QStringLiteral("x-special/gnome-copied-files"), "copy\n" + encoded);
    mime->setData(QStringLiteral("application/x-kde-cutselection"), "0");
    return mime;
}

namespace
{

// file:///p, and file://host/p when host is this machine (some file
// managers write it that way).
QString localPath(const QUrl &url)
{
    if (!url.isLocalFile())
        return {};
    const QString host = url.host();
    QString path;
    if (host.isEmpty())
        path = url.toLocalFile();
    else if (host.compare(u"localhost", Qt::CaseInsensitive) == 0 ||
             host.compare(QSysInfo::machineHostName(), Qt::CaseInsensitive) == 0)
        path = url.path();
    if (path.isEmpty())
        return {};
    return QDir::cleanPath(path);
}

} // namespace

QStringList DroppedPaths(const QMimeData *mime)
{
    QStringList paths;
    if (!mime)
        return paths;
    for (const QUrl &url : mime->urls()) {
        const QString p = localPath(url);
        if (!p.isEmpty())
            paths << p;
    }
    return paths;
}

bool AcceptsFileDrop(const QMimeData *mime)
{
    return !DroppedPaths(mime).isEmpty();
}
