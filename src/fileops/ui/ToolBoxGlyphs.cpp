#include "fileops/ui/ToolBoxGlyphs.h"

#include <QApplication>
#include <QColor>
#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>
#include <memory>

namespace
{
QString glyphPath(const QString &name)
{
    return QStringLiteral(":/toolbox/%1.svg").arg(name);
}

// A parsed glyph and the pixmaps drawn from it so far, by size and mode.
struct Glyph {
    explicit Glyph(const QByteArray &svg) : renderer(svg) {}
    QSvgRenderer renderer;
    QHash<quint64, QPixmap> drawn;
};
using Drawing = std::shared_ptr<Glyph>;

// One parsed drawing per glyph and ink, shared by every button showing it,
// so ten folder buttons draw their glyph once.
Drawing drawingFor(const QString &name, const QColor &ink)
{
    static QHash<QString, Drawing> drawings;
    // The pixmaps go with the application, not after it.
    static const bool cleared = [] {
        qAddPostRoutine([] { drawings.clear(); });
        return true;
    }();
    Q_UNUSED(cleared);
    const QString key = name + QLatin1Char('/') + ink.name(QColor::HexArgb);
    if (const auto it = drawings.constFind(key); it != drawings.cend())
        return *it;
    Drawing drawing;
    QFile file(glyphPath(name));
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray svg = file.readAll();
        svg.replace("currentColor", ink.name(QColor::HexRgb).toLatin1());
        auto glyph = std::make_shared<Glyph>(svg);
        if (glyph->renderer.isValid())
            drawing = glyph;
    }
    drawings.insert(key, drawing);
    return drawing;
}

// Draws the glyph when a size is first asked for, at the screen's own
// scale, and keeps what it drew: building a tool box full of buttons then
// costs one small drawing per glyph and size actually seen.
class GlyphEngine : public QIconEngine
{
public:
    explicit GlyphEngine(Drawing drawing) : drawing_(std::move(drawing)) {}

    QIconEngine *clone() const override { return new GlyphEngine(*this); }
    QString key() const override { return QStringLiteral("glimmerdeck-glyph"); }
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }

    // `size` in device pixels.
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State, qreal) override
    {
        if (size.isEmpty())
            return {};
        const quint64 key = (quint64(uint(size.width())) << 32) | (quint64(uint(size.height())) << 2) |
                            (mode == QIcon::Disabled ? 1 : 0);
        if (const auto it = drawing_->drawn.constFind(key); it != drawing_->drawn.cend())
            return *it;
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        drawing_->renderer.render(&p);
        p.end();
        if (mode == QIcon::Disabled) {
            QStyleOption opt;
            opt.palette = QApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(QIcon::Disabled, pm, &opt);
        }
        drawing_->drawn.insert(key, pm);
        return pm;
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal scale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap pm = scaledPixmap(rect.size() * scale, mode, state, scale);
        pm.setDevicePixelRatio(scale);
        painter->drawPixmap(rect, pm);
    }

private:
    Drawing drawing_;
};

} // namespace

bool HasToolBoxGlyph(const QString &name)
{
    return QFile::exists(glyphPath(name));
}

QIcon ToolBoxGlyph(const QString &name, const QColor &ink)
{
    Drawing drawing = drawingFor(name, ink);
    if (!drawing)
        return {};
    return QIcon(new GlyphEngine(std::move(drawing)));
}
