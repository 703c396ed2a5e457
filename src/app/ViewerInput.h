#pragma once
// Keys, clicks and wheel turns made into the viewer's input commands: the
// key maps, the click that is no drag, the wheel's steps, and the throttle
// that lets a held key stop when it is released.
#include "app/InputMap.h"
#include "common/ViewerState.h"

#include <QPoint>
#include <functional>

class ViewerInput
{
public:
    struct Hooks {
        std::function<void(InputAction)> run;   // one command, then the refresh
        std::function<void(bool forward)> step; // the wheel steps, with or without a list
    };
    ViewerInput(const ViewerState &state, Hooks hooks);

    // A key went down; autoRepeat/timestamp let a held key drop its backlog.
    void keyDown(int key, const QString &text, bool autoRepeat, quint64 timestamp);
    void mousePress(QPoint globalPos);
    void mouseRelease(Qt::MouseButton button, QPoint globalPos);
    void wheel(int angleDeltaY);

private:
    const ViewerState &state_;
    Hooks hooks_;
    ClickTracker clicks_;
    WheelStepper wheel_;
    quint64 busyUntil_ = 0; // event time until which the last key step kept us busy
};
