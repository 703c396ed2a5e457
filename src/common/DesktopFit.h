#pragma once
// Keeping a window on the desktop: a window larger than the desktop is
// shrunk to it, then the window is moved inside the desktop rectangle.
#include <QRect>

// The outer rectangle `frame` brought within `desktop`.
QRect FitRectToDesktop(const QRect &frame, const QRect &desktop);

// Where a window of outer size `box` opens beside the outer rectangle
// `main` on `desktop`: right of it, else left of it, level with its top,
// when there is room; otherwise at the desktop's right edge, with its top
// below `clearBottom` (the main window's menu bar, which it must not hide).
QPoint PlaceBeside(const QRect &main, QSize box, const QRect &desktop, int clearBottom);
