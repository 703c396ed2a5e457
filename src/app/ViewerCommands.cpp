// The viewer's command table, its input and its two modes (slideshow and
// full screen).
#include "app/Slideshow.h"
#include "app/Viewer.h"
#include "common/Prompter.h"


void Viewer::buildCommands()
{
    using Id = ActionId;
    auto always = [] { return true; };
    auto listActive = [this] { return state_.ListActive; };
    commands_.set(
        Id::slideshow1, [this] { toggleSlideshow(); }, listActive, [this] { return isSlideshowOn(); });
    commands_.set(
        Id::ListDel1, [this] { clearHistory(); }, always);
    commands_.set(
        Id::Max1, [this] { toggleFullScreen(); }, always, [this] { return state_.FullScreen; });
    commands_.set(
        Id::FileNameVisible1, [this] { toggleFileNameLabel(); }, always,
        [this] { return state_.settings.Window.FileNameShown; });
    for (Id id : {Id::menu_random, Id::menu_normal, Id::menu_reverse, Id::Action1})
        commands_.set(
            id, [this, id] { sortBy(playOrderFrom(actionSpec(id).tag)); }, always);
    // Sorting: copy or move mode, the transfer switch, the undo of a move.
    commands_.set(
        Id::CopyMode1, [this] { setCopyMode(true); }, always, [this] { return state_.settings.Option.Copy; });
    commands_.set(
        Id::MoveMode1, [this] { setCopyMode(false); }, always,
        [this] { return !state_.settings.Option.Copy; });
    commands_.set(
        Id::Transfer1, [this] { toggleTransferSwitch(); }, [this] { return fileOpsEnabled_; }, {},
        [this] { return XferCaption(state_.settings.Option.Open); });
    // Undo and redo walk the journal of file operations; the status bar
    // says what the next undo reverses.
    commands_.set(
        Id::MoveUndo1,
        [this] {
            applyTransfer(transfer_->revival());
            refresh();
        },
        [this] { return transfer_->canUndo(); });
    commands_.setTip(Id::MoveUndo1, [this] { return transfer_->nextUndoText(); });
    commands_.set(
        Id::Redo1,
        [this] {
            applyTransfer(transfer_->redo());
            refresh();
        },
        [this] { return transfer_->canRedo(); });
    commands_.setTip(Id::Redo1, [this] { return journalOps_->nextRedoText(); });
    // The journal window is the main window's.
    commands_.set(Id::Journal1, {}, always);
    // The rename dialog is the window's; it is there while the list has pictures.
    commands_.set(Id::fNameChange1, {}, [this] { return pictureActions_ && !state_.list.isEmpty(); });
    // The clipboard takes the picture of a single page only.
    commands_.set(Id::clipcopy1, {}, [this] {
        return displayFormFrom(state_.settings.Tool.State) == DisplayForm::Single && state_.ListActive;
    });
    // The options and launcher dialogs are not opened over the full screen.
    auto windowed = [this] { return !state_.FullScreen; };
    commands_.set(Id::option1, {}, windowed);
    commands_.set(Id::ShortcutCreate, {}, windowed);
    // The tool box window is the main window's; the row carries its check mark.
    commands_.set(Id::ToolBox1, {}, always, [this] { return toolBox_ != nullptr; });
    // Windows add the rows that open their dialogs (open, help, about, exit).
}

void Viewer::setCopyMode(bool copy)
{
    state_.settings.Option.Copy = copy;
    pending_.toolBox = true;
    pending_.commands = true;
    refresh();
}

void Viewer::toggleTransferSwitch()
{
    state_.settings.Option.Open = !state_.settings.Option.Open;
    pending_.toolBox = true;
    pending_.commands = true;
    refresh();
}

bool Viewer::isSlideshowOn() const
{
    return timer_->isOn();
}

// ---------------------------------------------------------------- input

void Viewer::runInput(InputAction a)
{
    perform(a);
    refresh();
}

void Viewer::perform(InputAction a)
{
    switch (a.command) {
    case InputCommand::None:
        return;
    case InputCommand::Quit:
        state_.QuitRequested = true;
        host_.requestClose();
        return;
    case InputCommand::Close:
        host_.requestClose();
        return;
    case InputCommand::ToggleFullScreen:
        switchFullScreen();
        return;
    case InputCommand::StepBack:
    case InputCommand::StepForward:
        listOps_->StepIndex(a.command == InputCommand::StepForward);
        pending_.paint = true;
        return;
    case InputCommand::DeleteCurrent:
        applyTransfer(transfer_->fDelete());
        return;
    case InputCommand::Refresh:
        pending_.paint = true;
        return;
    case InputCommand::GoFirst:
        state_.PictureIndex = 0;
        pending_.paint = true;
        return;
    case InputCommand::GoLast:
        state_.PictureIndex = state_.list.count() - 1;
        pending_.paint = true;
        return;
    case InputCommand::Tap:
        if (state_.ListActive) {
            listOps_->StepIndex(true);
            pending_.paint = true;
        }
        return;
    case InputCommand::Transfer:
        // The same transfer as the tool box's buttons; it returns what it
        // did, and the one refresh after the command shows it.
        applyTransfer(transfer_->ArBitBtnProcess(a.slot));
        return;
    case InputCommand::StartApp:
        runApp(0);
        return;
    case InputCommand::ShowAppMenu:
        host_.showAppMenu();
        return;
    }
}

// ---------------------------------------------------------------- slideshow

void Viewer::toggleSlideshow()
{
    setSlideshow(!timer_->isOn());
    refresh();
}

void Viewer::setSlideshow(bool on)
{
    const auto &opt = state_.settings.Option;
    if (on) {
        EnableFileOps(false);
        timer_->start(SlideshowInterval(opt.Interval, opt.IntervalM));
        prompter_.setStatusText(SlideshowOnText(opt.Interval, opt.IntervalM));
    } else {
        EnableFileOps(state_.settings.Tool.State == 0);
        timer_->stop();
        prompter_.setStatusText(SlideshowOffText());
    }
    pending_.commands = true;
}

void Viewer::slideshowStep()
{
    const SlideshowStep s =
        SlideshowTimerStep(state_.PictureIndex, state_.list.count(), state_.settings.Tool.State,
                           state_.ListActive, state_.ShortcutRun, state_.RepeatMode);
    switch (s.outcome) {
    case SlideshowOutcome::Idle:
        return;
    case SlideshowOutcome::Stop:
        state_.PictureIndex = s.index;
        setSlideshow(false);
        break;
    case SlideshowOutcome::Show:
        state_.PictureIndex = s.index;
        pending_.paint = true;
        break;
    case SlideshowOutcome::ShowQuit:
        state_.PictureIndex = s.index;
        pending_.paint = true;
        refresh(); // the last picture goes on screen before the window closes
        state_.QuitRequested = true;
        host_.requestClose();
        return;
    }
    refresh();
}

// ---------------------------------------------------------------- full screen

void Viewer::toggleFullScreen()
{
    switchFullScreen();
    refresh();
}

void Viewer::switchFullScreen()
{
    state_.FullScreen = !state_.FullScreen;
    MaxNormal();
    pending_.commands = true;
}

void Viewer::MaxNormal()
{
    if (state_.FullScreen == display_.fullScreenOpen())
        return;
    if (state_.FullScreen) {
        display_.useFullScreen(host_.setFullScreen(true));
    } else {
        // The surface changes first, so the window's own end does not
        // display a second time.
        display_.useFullScreen(nullptr);
        host_.setFullScreen(false);
    }
    ComputeArea();
    if (state_.ListActive)
        pending_.paint = true;
}

void Viewer::fullScreenClosed(const std::function<void()> &showMain)
{
    const bool wasOpen = display_.fullScreenOpen();
    if (wasOpen)
        display_.useFullScreen(nullptr);
    if (state_.FullScreen) {
        // Closed without going through Max1 (for example Alt+F4).
        state_.FullScreen = false;
        pending_.commands = true;
    }
    if (closing_) {
        refresh();
        return;
    }
    showMain();
    if (wasOpen) {
        ComputeArea();
        if (state_.ListActive)
            pending_.paint = true;
    }
    refresh();
}

void Viewer::dropOnFullScreen(const QStringList &paths)
{
    state_.list.setSorted(true);
    const QString saved = prompter_.statusText();
    prompter_.setStatusText(kSearchingText);
    if (!paths.isEmpty()) {
        state_.list.clear();
        for (const QString &p : paths)
            applyList(listOps_->rFileName(p));
    }
    prompter_.setStatusText(saved);
    if (state_.list.isEmpty()) {
        ImageCls();
    } else {
        pending_.toolBox = true;
        state_.ListActive = true;
        state_.PictureIndex = 0;
    }
    MenuCheck(state_.ListActive);
    state_.list.setSorted(false);
    applyList(listOps_->SortList(state_.SortOrder));
    ApplyDisplayMode();
    refresh();
}

void Viewer::dropOnMain(const QStringList &paths)
{
    state_.list.setSorted(true);
    const QString saved = prompter_.statusText();
    prompter_.setStatusText(kSearchingText);
    if (!paths.isEmpty())
        state_.list.clear();
    for (const QString &p : paths)
        applyList(listOps_->rFileName(p));
    prompter_.setStatusText(saved);
    state_.list.setSorted(false);
    applyList(listOps_->SortList(state_.SortOrder));
    applyList(listOps_->ActivateList());
    refresh();
}

// ---------------------------------------------------------------- applications

QList<AppMenuItem> Viewer::appMenuModel() const
{
    return AppMenuModel(apps_, pictureActions_);
}

QString Viewer::currentPath() const
{
    const int i = state_.PictureIndex;
    return i >= 0 && i < state_.list.count() ? state_.list.at(i) : QString();
}

void Viewer::runApp(int index)
{
    if (index < 0 || index >= apps_.size())
        return;
    RunApp(apps_.at(index), currentPath(), prompter_);
}
