#include "common/PathUtil.h"

#include <QDir>

QString WithBackslash(const QString &path)
{
    const QChar sep = QDir::separator();
    if (path.isEmpty() || path.endsWith(sep))
        return path;
    return path + sep;
}

QString ReplaceAll(const QString &text, QChar from, QChar to)
{
    QString out = text;
    out.replace(from, to);
    return out;
}

QString NumberTag(int i)
{
    if (i >= 0 && i < 1000)
        return QStringLiteral("[") + QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')) +
               QStringLiteral("]");
    return QStringLiteral("[") + QString::number(i) + QStringLiteral("]");
}

QString FileNamePart(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString FolderPart(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString FileExt(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    // "photo." has no usable extension: a bare "." would match every filter.
    if (dot <= slash || dot == path.size() - 1)
        return {};
    return path.mid(dot);
}

QString LowerExt(const QString &path)
{
    return FileExt(path).toLower();
}
