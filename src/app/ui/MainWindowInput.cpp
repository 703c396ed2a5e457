// Keys, mouse buttons, wheel and gestures of the main window. The
// full-screen window forwards its events to the same handlers.
#include "app/ui/FullScreenWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PictureView.h"

#include <QAction>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    handleKeyDown(event);
}

void MainWindow::handleKeyDown(QKeyEvent *event)
{
    // A held key repeats faster than large pictures decode. Repeats that the
    // system generated while we were still busy with the previous step are
    // dropped, so the viewer stops when the key is released instead of
    // working through a backlog.
    const quint64 stamp = event->timestamp();
    if (event->isAutoRepeat() && stamp != 0 && stamp < busyUntil_) {
        event->accept();
        return;
    }
    QElapsedTimer busy;
    busy.start();
    const InputCommand down = KeyDownCommand(event->key(), state_.ListActive, state_.settings.Tool.State);
    if (down != InputCommand::None)
        runInput({down, -1});
    else
        runInput(KeyPressCommand(event->text(), state_.ListActive, state_.settings.Tool.State,
                                 int(state_.settings.AppList.size()), state_.settings.Option.nButton));
    event->accept();
    if (stamp != 0)
        busyUntil_ = stamp + quint64(busy.elapsed());
    if (state_.QuitRequested)
        close();
}

void MainWindow::runInput(InputAction a)
{
    switch (a.command) {
    case InputCommand::None:
        return;
    case InputCommand::Quit:
        state_.QuitRequested = true;
        return;
    case InputCommand::Close:
        close();
        return;
    case InputCommand::ToggleFullScreen:
        toggleFullScreen();
        return;
    case InputCommand::StepBack:
    case InputCommand::StepForward:
        listOps_->StepIndex(a.command == InputCommand::StepForward);
        Picture();
        return;
    case InputCommand::DeleteCurrent:
        // Deleting to the trash arrives with the file-operation tools.
        if (state_.ListActive)
            Picture();
        return;
    case InputCommand::Refresh:
        Picture();
        return;
    case InputCommand::GoFirst:
        state_.PictureIndex = 0;
        Picture();
        return;
    case InputCommand::GoLast:
        state_.PictureIndex = state_.list.count() - 1;
        Picture();
        return;
    case InputCommand::Tap:
        if (state_.ListActive) {
            listOps_->StepIndex(true);
            Picture();
        }
        return;
    case InputCommand::StartApp:
    case InputCommand::ShowAppMenu:
    case InputCommand::Transfer:
        // External applications and transfers arrive with their own tools.
        return;
    }
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    handleMousePress(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    handleMouseRelease(event);
}

void MainWindow::wheelEvent(QWheelEvent *event)
{
    handleWheel(event);
}

void MainWindow::handleMousePress(QMouseEvent *event)
{
    clicks_.press(event->globalPosition().toPoint(), state_.list.isEmpty());
    event->accept();
}

void MainWindow::handleMouseRelease(QMouseEvent *event)
{
    const InputCommand c =
        clicks_.release(event->button(), event->globalPosition().toPoint(), state_.ListActive);
    event->accept();
    runInput({c, -1});
}

void MainWindow::handleWheel(QWheelEvent *event)
{
    event->accept();
    const InputCommand c = wheel_.feed(event->angleDelta().y());
    if (c == InputCommand::None)
        return;
    // The wheel steps and redisplays even without an active list.
    listOps_->StepIndex(c == InputCommand::StepForward);
    Picture();
}
