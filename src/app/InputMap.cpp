#include "app/InputMap.h"

#include <cstdlib>

namespace
{

constexpr KeyBinding kKeyDown[] = {
    {Qt::Key_Escape, InputCommand::Quit, false},
    {Qt::Key_Return, InputCommand::ToggleFullScreen, false},
    {Qt::Key_Enter, InputCommand::ToggleFullScreen, false}, // keypad Enter
    {Qt::Key_PageUp, InputCommand::StepBack, true},
    {Qt::Key_Left, InputCommand::StepBack, true},
    {Qt::Key_Down, InputCommand::StepBack, true},
    {Qt::Key_PageDown, InputCommand::StepForward, true},
    {Qt::Key_Right, InputCommand::StepForward, true},
    {Qt::Key_Up, InputCommand::StepForward, true},
    {Qt::Key_Delete, InputCommand::DeleteCurrent, true},
};

} // namespace

std::span<const KeyBinding> keyDownTable()
{
    return kKeyDown;
}

InputCommand KeyDownCommand(int qtKey, bool listActive, int toolState)
{
    for (const KeyBinding &b : kKeyDown) {
        if (b.key != qtKey)
            continue;
        if (b.needsList && !listActive)
            return InputCommand::None;
        // Deleting is a single-page operation; a spread only redraws.
        if (b.command == InputCommand::DeleteCurrent && toolState != 0)
            return InputCommand::Refresh;
        return b.command;
    }
    return InputCommand::None;
}

InputAction KeyPressCommand(const QString &text, bool listActive, int toolState, int appCount,
                            int transferButtons)
{
    if (!listActive || toolState != 0 || text.size() != 1)
        return {};
    const QChar c = text.at(0);
    if (c == u' ' && appCount > 0)
        return {appCount == 1 ? InputCommand::StartApp : InputCommand::ShowAppMenu, -1};
    if (c >= u'0' && c <= u'9') {
        const int slot = c.unicode() - u'0';
        if (slot <= transferButtons - 1)
            return {InputCommand::Transfer, slot};
    }
    return {};
}

bool IsClick(QPoint press, QPoint release)
{
    return std::abs(press.x() - release.x()) + std::abs(press.y() - release.y()) <= kClickThreshold;
}

void ClickTracker::press(QPoint pos, bool listEmpty)
{
    if (!listEmpty)
        pressPos_ = pos;
}

InputCommand ClickTracker::release(Qt::MouseButton button, QPoint pos, bool listActive) const
{
    if (!IsClick(pressPos_, pos) || !listActive)
        return InputCommand::None;
    if (button == Qt::LeftButton)
        return InputCommand::StepForward;
    if (button == Qt::RightButton)
        return InputCommand::StepBack;
    return InputCommand::None;
}

InputCommand WheelStepper::feed(int angleDeltaY)
{
    constexpr int kNotch = 120;
    // A change of direction drops what was left over from the other way.
    if ((pending_ > 0 && angleDeltaY < 0) || (pending_ < 0 && angleDeltaY > 0))
        pending_ = 0;
    pending_ += angleDeltaY;
    // One step per event at most: a fast spin of several notches in one
    // event is still one page, and the remainder never carries a whole notch.
    if (pending_ <= -kNotch) {
        pending_ %= kNotch;
        return InputCommand::StepForward;
    }
    if (pending_ >= kNotch) {
        pending_ %= kNotch;
        return InputCommand::StepBack;
    }
    return InputCommand::None;
}
