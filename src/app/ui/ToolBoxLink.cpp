#include "app/ui/ToolBoxLink.h"

#include "app/Viewer.h"
#include "app/ViewerStartUp.h"
#include "app/ui/FullScreenWindow.h"
#include "app/ui/KeyRouter.h"
#include "app/ui/MainWindow.h"
#include "app/ui/WindowFrame.h"
#include "fileops/ui/ToolBox.h"

#include <QAction>
#include <QGuiApplication>
#include <QImage>
#include <QTimer>
#include <QWindow>
#include <utility>

ToolBoxLink::ToolBoxLink(MainWindow &main, Viewer &viewer, Prompter &prompter, KeyRouter &keys,
                         std::function<void()> refocus)
    : main_(main), viewer_(viewer), prompter_(prompter), keys_(keys), refocus_(std::move(refocus))
{
}

ToolBoxLink::~ToolBoxLink()
{
    viewer_.setToolBox(nullptr);
    delete box_.data();
}

void ToolBoxLink::ToolBox1Execute()
{
    if (isOpen())
        close();
    else
        open();
}

void ToolBoxLink::open(std::optional<int> stayBelow)
{
    if (box_ || making_)
        return;
    // On X11 a window of ours that appears before the main window makes
    // window managers place the main window anew, away from where it was
    // put (stored or centred). At start the tool box waits for it.
    QWindow *mainHandle = main_.windowHandle();
    if (QGuiApplication::platformName() != u"xcb" || main_.fullScreenWindow() || !main_.isVisible() ||
        !mainHandle || mainHandle->isExposed()) {
        make();
        show(stayBelow);
        return;
    }
    // The main window is being shown. Its map request goes out first; the
    // tool box is built while the window manager frames the main window,
    // and appears once the main window is on screen.
    making_ = true;
    holdStartUp();
    QTimer::singleShot(0, this, [this, stayBelow, mainHandle = QPointer<QWindow>(mainHandle)] {
        if (!making_)
            return; // made meanwhile (the main window closes) or called off (ToolBox1)
        make();
        // Everything showing needs but the map: styles, layout, native window.
        box_->prepare();
        watchFirstPaint();
        // Its map request goes out before the main window's first paint:
        // the window manager frames it meanwhile.
        if (mainHandle && !mainHandle->isExposed())
            AsSoonAsExposed(mainHandle, this, [this, stayBelow] { showAtStart(stayBelow); });
        else
            showAtStart(stayBelow);
    });
}

void ToolBoxLink::showAtStart(std::optional<int> stayBelow)
{
    show(stayBelow);
    // While the window manager frames it, it is painted once off screen:
    // the glyphs of its captions are ready when it is exposed.
    QTimer::singleShot(0, this, [box = QPointer<TToolBox>(box_)] {
        if (!box || box->windowHandle() == nullptr || box->windowHandle()->isExposed())
            return;
        QImage scratch(box->size(), QImage::Format_ARGB32_Premultiplied);
        box->render(&scratch);
    });
}

void ToolBoxLink::make()
{
    making_ = false;
    // Owned by us, not by the main window: it stays up over the full-screen
    // view, while the main window is hidden.
    viewer_.transfer().SetPath.clear(); // the folder pickers start afresh
    shown_ = false;
    box_ = new TToolBox(*this);
    box_->setAttribute(Qt::WA_DeleteOnClose);
    keys_.addWindow(box_);
    connect(box_, &TToolBox::closed, this, [this] { forget(); });
    viewer_.setToolBox(box_);
    above_ = nullptr;
    main_.commandsChanged();
}

void ToolBoxLink::show(std::optional<int> stayBelow)
{
    if (!box_ || box_->isVisible())
        return;
    shown_ = true;
    box_->open(stayBelow);
    stayAbove(main_.fullScreenWindow());
    returnFocus();
}

void ToolBoxLink::holdStartUp()
{
    ViewerStartUp *startUp = &viewer_.startUp();
    if (startUp->settled())
        return;
    startUp->holdForWindow();
    startUpHeld_ = true;
}

void ToolBoxLink::watchFirstPaint()
{
    // Its native window, not the widget: the widget, covered by its
    // children, gets no paint event.
    if (std::exchange(startUpHeld_, false) && box_->windowHandle())
        WhenExposed(box_->windowHandle(), &viewer_.startUp(),
                    [startUp = &viewer_.startUp()] { startUp->windowPainted(); });
}

void ToolBoxLink::close()
{
    if (std::exchange(making_, false)) {
        if (std::exchange(startUpHeld_, false))
            viewer_.startUp().windowPainted(); // nothing to wait for
        main_.commandsChanged();
    }
    if (box_)
        box_->close(); // keeps its position, then says it closed
}

void ToolBoxLink::keepPosition()
{
    if (making_)
        make(); // opens at the next start, where it was to appear now
    else if (box_ && shown_)
        box_->storePosition();
}

void ToolBoxLink::closeForExit()
{
    if (!box_)
        return;
    TToolBox *box = box_;
    viewer_.setToolBox(nullptr);
    box_ = nullptr;
    box->closeQuietly();
}

void ToolBoxLink::stateChanged()
{
    if (!box_)
        return;
    stayAbove(main_.fullScreenWindow());
    box_->showState();
}

void ToolBoxLink::stayAbove(QWidget *window)
{
    // Window managers put a full-screen window over every other window,
    // "always on top" ones included, but not over the windows that belong
    // to it. The window system learns whom it belongs to when it is shown.
    if (above_ == window)
        return;
    above_ = window;
    QWindow *handle = box_->windowHandle();
    if (!handle)
        return;
    const bool shown = box_->isVisible();
    const QPoint at = box_->pos();
    if (shown)
        box_->hide();
    handle->setTransientParent(window ? window->windowHandle() : nullptr);
    if (shown) {
        box_->show();
        handle->setFramePosition(at); // where it was, not where the window manager puts new ones
        // The window manager forgot "always on top" when the window went;
        // said again, it stays above the main window that comes back.
        if (handle->flags().testFlag(Qt::WindowStaysOnTopHint)) {
            handle->setFlag(Qt::WindowStaysOnTopHint, false);
            handle->setFlag(Qt::WindowStaysOnTopHint, true);
        }
        box_->raise();
    }
}

void ToolBoxLink::forget()
{
    viewer_.setToolBox(nullptr);
    box_ = nullptr;
    main_.commandsChanged();
}

// ---------------------------------------------------------------- host

const ViewerState &ToolBoxLink::model() const
{
    return viewer_.state();
}

const CommandTable &ToolBoxLink::commands() const
{
    return std::as_const(viewer_).commands();
}

Prompter &ToolBoxLink::prompter()
{
    return prompter_;
}

QMenu *ToolBoxLink::renameModeMenu()
{
    return main_.renameModeMenu();
}

void ToolBoxLink::returnFocus()
{
    if (refocus_)
        refocus_();
}
