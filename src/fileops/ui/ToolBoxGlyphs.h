#pragma once
// The tool box's button glyphs: small SVG drawings built into the program,
// their outlines drawn in the colour of the button text so they read on
// light and dark themes, rendered sharp at every screen scale.
#include <QIcon>
#include <QString>

class QColor;

// The glyph `name` ("back", "folder", "order-date", ...) outlined in `ink`,
// drawn at whatever size and screen scale it is first shown at. A null icon
// for an unknown name.
QIcon ToolBoxGlyph(const QString &name, const QColor &ink);

// True when the glyph exists among the built-in ones.
bool HasToolBoxGlyph(const QString &name);
