#include "app/ui/FullScreenWindow.h"

#include "app/ui/GestureFilter.h"
#include "app/ui/PictureView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMimeData>
#include <QScreen>

FullScreenWindow::FullScreenWindow(MainWindow *main)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), main_(main)
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
    for (int i = 0; i < 2; ++i) {
        Image[i] = new PictureView(this);
        Image[i]->setObjectName(QStringLiteral("Image%1").arg(i));
        Image[i]->setMouseTracking(true);
        Image[i]->setGeometry(0, 0, 0, 0);
    }
    Panel1 = new QLabel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setStyleSheet(QStringLiteral("color: white;"));
    Panel1->hide();

    auto run = [this](InputCommand c) { main_->runInput({c, -1}); };
    (new GestureFilter(true, run, this))->watch(this);
    auto *pictures = new GestureFilter(false, run, this);
    for (PictureView *v : Image)
        pictures->watch(v);

    // The main window's shortcuts keep working while it is hidden.
    addActions(main_->actions());

    Timer1.setSingleShot(true);
    Timer1.setInterval(kCursorHideMs);
    connect(&Timer1, &QTimer::timeout, this, &FullScreenWindow::hideCursor);
    Timer1.start();
}

FullScreenWindow::~FullScreenWindow()
{
    showCursor();
}

DisplaySurface FullScreenWindow::surface()
{
    return DisplaySurface{this, Image, Panel1, 0, true};
}

void FullScreenWindow::open()
{
    QScreen *screen = QGuiApplication::screenAt(main_->frameGeometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        setScreen(screen);
        setGeometry(screen->geometry());
    }
    showFullScreen();
    raise();
    activateWindow();
}

void FullScreenWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    setAcceptDrops(true);
    main_->ComputeArea(main_->state().settings.Tool.State != 0);
    main_->hide();
    main_->ApplyLabelFont(Panel1);
}

void FullScreenWindow::closeEvent(QCloseEvent *event)
{
    Timer1.stop();
    showCursor();
    event->accept();
    if (!notified_) {
        notified_ = true;
        main_->fullScreenClosed();
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

void FullScreenWindow::keyPressEvent(QKeyEvent *event)
{
    main_->handleKeyDown(event);
}

void FullScreenWindow::mousePressEvent(QMouseEvent *event)
{
    main_->handleMousePress(event);
}

void FullScreenWindow::mouseReleaseEvent(QMouseEvent *event)
{
    main_->handleMouseRelease(event);
}

void FullScreenWindow::mouseMoveEvent(QMouseEvent *event)
{
    showCursor();
    Timer1.start();
    event->accept();
}

void FullScreenWindow::wheelEvent(QWheelEvent *event)
{
    main_->handleWheel(event);
}

void FullScreenWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void FullScreenWindow::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    event->acceptProposedAction();
    main_->dropOnFullScreen(paths);
}
