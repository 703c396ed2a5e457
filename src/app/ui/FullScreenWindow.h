#pragma once
// The full-screen view: a borderless black window over the whole screen it
// is opened on. It shows the viewer's display surface; keys, buttons, wheel
// and gestures go to the viewer, dropped files become the viewer's set.
#include <QTimer>
#include <QWidget>

class DisplaySurface;
class Viewer;

class FullScreenWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kCursorHideMs = 3000;

    explicit FullScreenWindow(Viewer &viewer);
    ~FullScreenWindow() override;

    DisplaySurface *surface() const { return surface_; }
    bool cursorHidden() const { return cursorHidden_; }
    // Shows the window full screen on `screenPoint`'s screen.
    void open(QPoint screenPoint);
    // Closes without telling the viewer (it closed us).
    void closeQuietly();

signals:
    // Closed by anything but the viewer (for example the window manager).
    void closedByUser();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void hideCursor();
    void showCursor();

    Viewer &viewer_;
    DisplaySurface *surface_ = nullptr;
    QTimer Timer1;
    bool cursorHidden_ = false;
    bool quiet_ = false;
};
