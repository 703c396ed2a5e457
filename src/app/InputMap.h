#pragma once
// What the user's keys, mouse buttons and wheel mean on the picture area.
// The windows translate their events with these functions and carry out the
// returned command; the full-screen window and the tool box forward their
// events here too, so the mapping is the same everywhere.
#include <QPoint>
#include <QString>
#include <Qt>
#include <span>

enum class InputCommand {
    None,
    Quit,             // Esc: end the program
    Close,            // close the main window (the curlicue gesture)
    ToggleFullScreen, // Enter, circle gesture
    StepBack,         // step one page or spread back, then show
    StepForward,      // step one page or spread forward, then show
    DeleteCurrent,    // delete the current picture, then show if a list is still active
    Refresh,          // show again without moving
    GoFirst,          // index := 0, then show
    GoLast,           // index := count - 1, then show
    StartApp,         // start the only external application on the current picture
    ShowAppMenu,      // open the external-application menu at the window's centre
    Transfer,         // transfer the current picture through a slot (see InputAction::slot)
    Tap,              // a touch or pen tap: a left click (steps forward while a list is active)
};

struct InputAction {
    InputCommand command = InputCommand::None;
    int slot = -1; // transfer slot for InputCommand::Transfer
    friend bool operator==(const InputAction &, const InputAction &) = default;
};

struct KeyBinding {
    int key;              // Qt::Key
    InputCommand command; // in single-page form
    bool needsList;       // only while a list is active
};

// The key-down table; modifiers are ignored.
std::span<const KeyBinding> keyDownTable();

// Key-down: the table, with Delete only showing again in the spread forms.
InputCommand KeyDownCommand(int qtKey, bool listActive, int toolState);

// Key press (the typed text), only in single-page form with an active list:
// space starts the external application or opens their menu; a digit below
// `transferButtons` transfers through that slot ("0" is the first).
InputAction KeyPressCommand(const QString &text, bool listActive, int toolState, int appCount,
                            int transferButtons);

// A press and release further apart than this (|dx| + |dy|) is a drag, not a click.
inline constexpr int kClickThreshold = 10;

bool IsClick(QPoint press, QPoint release);

// Remembers where the last button press happened and turns the release into a step.
class ClickTracker
{
public:
    // The position is kept only while the list has entries.
    void press(QPoint pos, bool listEmpty);
    // Left steps forward, right steps back; nothing for a drag, another
    // button, or without an active list.
    InputCommand release(Qt::MouseButton button, QPoint pos, bool listActive) const;
    QPoint pressPosition() const { return pressPos_; }

private:
    QPoint pressPos_;
};

// Turns wheel movement into steps: one per notch (120 units); touchpads that
// report small deltas step once their sum reaches a notch. Turning down
// (negative delta) steps forward.
class WheelStepper
{
public:
    // Returns StepForward, StepBack or None for one wheel event.
    InputCommand feed(int angleDeltaY);
    void reset() { pending_ = 0; }

private:
    int pending_ = 0;
};
