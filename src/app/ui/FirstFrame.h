#pragma once
// The first frame of a window, readied while the window manager frames it.
class QWidget;

// Sizes the shown window's backing store and has its memory readied on
// another thread. A new store is fresh shared memory: every page of it
// would otherwise fault on its first write, inside the first paint, after
// the window is on screen. The first paint waits for the thread to end
// (it has usually ended by then); a window hidden or closed before that
// stops it. Nothing is painted or reaches the screen.
void WarmBackingStore(QWidget *window);
