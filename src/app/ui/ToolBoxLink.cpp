#include "app/ui/ToolBoxLink.h"

#include "app/Viewer.h"
#include "app/ui/FullScreenWindow.h"
#include "app/ui/KeyRouter.h"
#include "app/ui/MainWindow.h"
#include "app/ui/WindowFrame.h"
#include "fileops/ui/ToolBox.h"

#include <QAction>
#include <QGuiApplication>
#include <QWindow>

ToolBoxLink::ToolBoxLink(MainWindow &main, Viewer &viewer, KeyRouter &keys, std::function<void()> refocus)
    : main_(main), viewer_(viewer), keys_(keys), refocus_(std::move(refocus))
{
}

ToolBoxLink::~ToolBoxLink()
{
    viewer_.setToolBox(nullptr);
    delete box_.data();
}

void ToolBoxLink::ToolBox1Execute()
{
    if (box_)
        close();
    else
        open();
}

void ToolBoxLink::open(std::optional<int> stayBelow)
{
    if (box_)
        return;
    // Owned by us, not by the main window: it stays up over the full-screen
    // view, while the main window is hidden.
    box_ = new TToolBox(*this);
    box_->setAttribute(Qt::WA_DeleteOnClose);
    keys_.addWindow(box_);
    connect(box_, &TToolBox::closed, this, [this] { forget(); });
    viewer_.setToolBox(box_);
    above_ = nullptr;
    main_.commandsChanged();
    auto show = [this, stayBelow] {
        if (!box_ || box_->isVisible())
            return;
        box_->open(stayBelow);
        stayAbove(main_.fullScreenWindow());
        returnFocus();
    };
    // On X11 a window of ours that appears before the main window makes
    // window managers place the main window anew, away from where it was
    // put (stored or centred). At start the tool box waits for it.
    QWindow *mainHandle = main_.windowHandle();
    if (QGuiApplication::platformName() == u"xcb" && !main_.fullScreenWindow() && main_.isVisible() &&
        mainHandle && !mainHandle->isExposed())
        WhenExposed(mainHandle, this, show);
    else
        show();
}

void ToolBoxLink::close()
{
    if (box_)
        box_->close(); // keeps its position, then says it closed
}

void ToolBoxLink::keepPosition()
{
    if (box_)
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

// ---------------------------------------------------------------- state

Settings &ToolBoxLink::settings()
{
    return viewer_.state().settings;
}

int ToolBoxLink::pictureCount() const
{
    return viewer_.state().list.count();
}

int ToolBoxLink::pictureIndex() const
{
    return viewer_.state().PictureIndex;
}

QString ToolBoxLink::currentPicture() const
{
    return CurrentPicture(viewer_.state());
}

PlayOrder ToolBoxLink::sortOrder() const
{
    return viewer_.state().SortOrder;
}

bool ToolBoxLink::fullScreen() const
{
    return viewer_.state().FullScreen;
}

bool ToolBoxLink::autoRotate() const
{
    return viewer_.state().AutoRotate;
}

bool ToolBoxLink::fileOpsEnabled() const
{
    return viewer_.fileOpsEnabled();
}

bool ToolBoxLink::canUndo() const
{
    return viewer_.transfer().canUndo();
}

Prompter &ToolBoxLink::prompter()
{
    return viewer_.prompter();
}

QString &ToolBoxLink::SetPath()
{
    return viewer_.transfer().SetPath;
}

QMenu *ToolBoxLink::renameModeMenu()
{
    return main_.renameModeMenu();
}

// ---------------------------------------------------------------- commands

void ToolBoxLink::StepIndex(bool forward)
{
    viewer_.listOps().StepIndex(forward);
}

void ToolBoxLink::toggleSlideshow()
{
    viewer_.modes().toggleSlideshow();
}

void ToolBoxLink::fDelete()
{
    viewer_.runInput({InputCommand::DeleteCurrent, -1});
}

void ToolBoxLink::setPictureIndex(int index)
{
    viewer_.state().PictureIndex = index;
}

void ToolBoxLink::Picture()
{
    viewer_.Picture();
}

void ToolBoxLink::ApplySettings()
{
    viewer_.settings().apply();
}

void ToolBoxLink::setAutoRotate(bool on)
{
    viewer_.state().AutoRotate = on;
    viewer_.settings().apply();
}

void ToolBoxLink::setFullScreen(bool on)
{
    if (viewer_.state().FullScreen != on)
        main_.action(ActionId::Max1)->trigger();
}

void ToolBoxLink::setCopyMode(bool copy)
{
    main_.action(copy ? ActionId::CopyMode1 : ActionId::MoveMode1)->trigger();
}

void ToolBoxLink::toggleTransferSwitch()
{
    main_.action(ActionId::Transfer1)->trigger();
}

void ToolBoxLink::revival()
{
    main_.action(ActionId::MoveUndo1)->trigger();
}

void ToolBoxLink::showJournal()
{
    main_.action(ActionId::Journal1)->trigger();
}

void ToolBoxLink::ArBitBtnProcess(int slot)
{
    // The same transfer as the digit keys.
    viewer_.runInput({InputCommand::Transfer, slot});
}

void ToolBoxLink::sortBy(PlayOrder order)
{
    for (ActionId id :
         {ActionId::menu_random, ActionId::menu_normal, ActionId::menu_reverse, ActionId::Action1})
        if (actionSpec(id).tag == int(order))
            main_.action(id)->trigger();
}

void ToolBoxLink::reshuffle()
{
    if (viewer_.state().SortOrder == PlayOrder::Random)
        viewer_.sortBy(PlayOrder::Random);
}

void ToolBoxLink::NameChangeBtnClick()
{
    main_.action(ActionId::fNameChange1)->trigger();
}

void ToolBoxLink::openOptions()
{
    main_.action(ActionId::option1)->trigger();
}

void ToolBoxLink::setDropsAccepted(bool on)
{
    main_.setDropsAccepted(on);
}

void ToolBoxLink::returnFocus()
{
    if (refocus_)
        refocus_();
}
