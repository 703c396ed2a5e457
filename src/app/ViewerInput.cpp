#include "app/ViewerInput.h"

#include <QElapsedTimer>

ViewerInput::ViewerInput(const ViewerState &state, Hooks hooks) : state_(state), hooks_(std::move(hooks)) {}

void ViewerInput::keyDown(int key, const QString &text, bool autoRepeat, quint64 stamp)
{
    // A held key repeats faster than large pictures decode. Repeats that the
    // system generated while we were still busy with the previous step are
    // dropped, so the viewer stops when the key is released instead of
    // working through a backlog.
    if (autoRepeat && stamp != 0 && stamp < busyUntil_)
        return;
    QElapsedTimer busy;
    busy.start();
    const InputCommand down = KeyDownCommand(key, state_.ListActive, state_.settings.Tool.State);
    if (down != InputCommand::None)
        hooks_.run({down, -1});
    else
        hooks_.run(KeyPressCommand(text, state_.ListActive, state_.settings.Tool.State,
                                   int(state_.settings.AppList.size()), state_.settings.Option.nButton));
    if (stamp != 0)
        busyUntil_ = stamp + quint64(busy.elapsed());
}

void ViewerInput::mousePress(QPoint globalPos)
{
    clicks_.press(globalPos, state_.list.isEmpty());
}

void ViewerInput::mouseRelease(Qt::MouseButton button, QPoint globalPos)
{
    hooks_.run({clicks_.release(button, globalPos, state_.ListActive), -1});
}

void ViewerInput::wheel(int angleDeltaY)
{
    const InputCommand c = wheel_.feed(angleDeltaY);
    if (c != InputCommand::None)
        hooks_.step(c == InputCommand::StepForward);
}
