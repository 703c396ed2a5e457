// The viewer's command table and its input.
#include "app/Actions.h"
#include "app/Viewer.h"
#include "common/Prompter.h"

void Viewer::buildCommands()
{
    using Id = ActionId;
    auto always = [] { return true; };
    auto listActive = [this] { return state_.ListActive; };
    commands_.set(
        Id::slideshow1, [this] { modes_->toggleSlideshow(); }, listActive, [this] { return modes_->slideshowOn(); });
    commands_.set(
        Id::ListDel1, [this] { history_.clear(); }, always);
    commands_.set(
        Id::Max1, [this] { modes_->toggleFullScreen(); }, always, [this] { return state_.FullScreen; });
    commands_.set(
        Id::FileNameVisible1, [this] { settings_.toggleLabel(); }, always,
        [this] { return state_.settings.Window.FileNameShown; });
    for (Id id : {Id::menu_random, Id::menu_normal, Id::menu_reverse, Id::Action1})
        commands_.set(
            id, [this, id] { sortBy(playOrderFrom(actionSpec(id).tag)); }, always);
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
    commands_.set(Id::fNameChange1, {}, [this] { return pictureActionsOn(); });
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
        modes_->switchFullScreen();
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
        apps_.run(0, state_, prompter_);
        return;
    case InputCommand::ShowAppMenu:
        host_.showAppMenu();
        return;
    }
}
