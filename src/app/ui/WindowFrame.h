#pragma once
// The frame a window manager will put around a window, asked for before the
// window is shown. The stored window geometry is the outer one; knowing the
// frame up front, the window opens at its final client size at once instead
// of being framed, measured and resized again (which also lays out and
// scales the first picture a second time).
#include <QMargins>
#include <functional>
#include <optional>

class QWidget;

// Sends the question below ahead of time, so that the window manager answers
// while the window is still being built (creates the native window).
void RequestFrameMargins(QWidget *window);

// Frame widths the window manager announces for `window` (X11:
// _NET_REQUEST_FRAME_EXTENTS, answered in _NET_FRAME_EXTENTS). Creates the
// native window when needed. Null margins when there is no such window
// manager, on other window systems, or when no answer comes within
// `timeoutMs`.
QMargins PredictFrameMargins(QWidget *window, int timeoutMs = 100);

class QMainWindow;
class QObject;
class QWindow;
struct Settings;

// A first start: Tool.Left and Tool.Top put the tool box beside `main`, clear
// of its menu bar (its frame taken to be like the main window's, known or
// `predicted`). Where there is no room beside, the answer is the line the
// tool box must stay below (the menu bar's bottom), shrinking to keep it.
std::optional<int> PlaceToolBoxBeside(QMainWindow &main, const QMargins &predicted, Settings &settings);

// Runs `then` once `window` is on screen (after its expose event, from the
// event loop); nothing when `context` is gone by then.
void WhenExposed(QWindow *window, QObject *context, std::function<void()> then);
// Runs `then` as `window` is exposed, before it paints (within the expose
// event): for work that should reach the window system ahead of its paint.
void AsSoonAsExposed(QWindow *window, QObject *context, std::function<void()> then);
