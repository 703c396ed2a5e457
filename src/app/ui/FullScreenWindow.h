#pragma once
// The full-screen view: a borderless black window over the whole screen the
// main window is on. It shows the same display slots and passes keys,
// buttons, wheel, gestures and dropped files to the main window.
#include "app/ui/MainWindow.h"

#include <QTimer>
#include <QWidget>

class GestureFilter;

class FullScreenWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kCursorHideMs = 3000;

    explicit FullScreenWindow(MainWindow *main);
    ~FullScreenWindow() override;

    DisplaySurface surface();
    bool cursorHidden() const { return cursorHidden_; }
    // Shows the window full screen on the screen of the main window.
    void open();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void hideCursor();
    void showCursor();

    MainWindow *main_;
    std::array<PictureView *, 2> Image{};
    QLabel *Panel1 = nullptr;
    QTimer Timer1;
    bool cursorHidden_ = false;
    bool notified_ = false;
};
