#include "app/ui/FullScreenWindow.h"

#include "app/Viewer.h"
#include "app/ui/DisplaySurface.h"
#include "common/AppTexts.h"
#include "desktop/FileMime.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMimeData>
#include <QScreen>
#include <QVBoxLayout>

FullScreenWindow::FullScreenWindow(Viewer &viewer)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), viewer_(viewer)
{
    setObjectName(QStringLiteral("fMax"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(kAppTitle);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    setMouseTracking(true);
    surface_ = new DisplaySurface(viewer_, DisplaySurface::Kind::FullScreen, this);
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->addWidget(surface_);
    setFocusProxy(surface_);

    Timer1.setSingleShot(true);
    Timer1.setInterval(kCursorHideMs);
    connect(&Timer1, &QTimer::timeout, this, &FullScreenWindow::hideCursor);
    Timer1.start();
}

FullScreenWindow::~FullScreenWindow()
{
    showCursor();
}

void FullScreenWindow::open(QPoint screenPoint)
{
    QScreen *screen = QGuiApplication::screenAt(screenPoint);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    setAcceptDrops(true);
    showFullScreen();
    if (layout())
        layout()->activate();
    raise();
    activateWindow();
    surface_->setFocus();
}

void FullScreenWindow::closeQuietly()
{
    quiet_ = true;
    close();
}

void FullScreenWindow::closeEvent(QCloseEvent *event)
{
    Timer1.stop();
    showCursor();
    event->accept();
    if (!quiet_) {
        quiet_ = true;
        emit closedByUser();
    }
}

void FullScreenWindow::hideCursor()
{
    if (cursorHidden_)
        return;
    cursorHidden_ = true;
    QGuiApplication::setOverrideCursor(Qt::BlankCursor);
}

void FullScreenWindow::showCursor()
{
    if (!cursorHidden_)
        return;
    cursorHidden_ = false;
    QGuiApplication::restoreOverrideCursor();
}

void FullScreenWindow::mouseMoveEvent(QMouseEvent *event)
{
    showCursor();
    Timer1.start();
    event->accept();
}

void FullScreenWindow::dragEnterEvent(QDragEnterEvent *event)
{
    // Dropped files are only read: the drop is a copy, so the source never
    // deletes them as it would after a move.
    if (AcceptsFileDrop(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void FullScreenWindow::dropEvent(QDropEvent *event)
{
    const QStringList paths = DroppedPaths(event->mimeData());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    viewer_.modes().dropOnFullScreen(paths);
}
