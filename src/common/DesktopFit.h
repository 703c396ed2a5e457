#pragma once
// Keeping a window on the desktop: a window larger than the desktop is
// shrunk to it, then the window is moved inside the desktop rectangle.
#include <QRect>

// The outer rectangle `frame` brought within `desktop`.
QRect FitRectToDesktop(const QRect &frame, const QRect &desktop);
