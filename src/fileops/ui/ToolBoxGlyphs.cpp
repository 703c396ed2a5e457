#include "fileops/ui/ToolBoxGlyphs.h"

#include <QColor>
#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace
{
QString glyphPath(const QString &name)
{
    return QStringLiteral(":/toolbox/%1.svg").arg(name);
}
} // namespace

bool HasToolBoxGlyph(const QString &name)
{
    return QFile::exists(glyphPath(name));
}

QIcon ToolBoxGlyph(const QString &name, int size, const QColor &ink)
{
    QFile file(glyphPath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray svg = file.readAll();
    svg.replace("currentColor", ink.name(QColor::HexRgb).toLatin1());
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return {};
    // One pixmap per common scale; the icon picks the closest for the screen.
    QIcon icon;
    for (const qreal scale : {1.0, 1.25, 1.5, 2.0, 3.0}) {
        const int px = qRound(size * scale);
        QPixmap pm(px, px);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        renderer.render(&p);
        p.end();
        pm.setDevicePixelRatio(scale);
        icon.addPixmap(pm);
    }
    return icon;
}
