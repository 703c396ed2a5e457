#pragma once
// Recognises the few stroke gestures the viewer reacts to from the points of
// one touch or pen stroke. The shape decides, not the speed: the stroke is
// resampled evenly along its length before it is looked at, so a quick flick
// and a slow deliberate line give the same answer. Anything that does not
// clearly look like one of the shapes is None.
#include "app/InputMap.h"

#include <QPointF>
#include <QtGlobal>
#include <span>

enum class Gesture {
    None,
    FlickLeft,    // a straight, roughly horizontal stroke to the left
    FlickRight,   // the same to the right
    ChevronLeft,  // "<": two straight legs meeting at a corner on the left
    ChevronRight, // ">"
    Circle,       // one closed loop, either direction
    Curlicue,     // an open stroke with one loop in it (a pigtail)
};

struct StrokePoint {
    QPointF pos;
    qint64 msec = 0; // timestamp of the sample
};

struct StrokeRules {
    double minLength = 48;       // shorter strokes are taps or jitter (device pixels)
    qint64 maxDurationMs = 3000; // longer strokes are drags or a resting finger
};

Gesture RecognizeStroke(std::span<const StrokePoint> points, const StrokeRules &rules = {});

// What a gesture does. Flicks step, chevrons go to the first or last
// picture; circle (full screen) and curlicue (close) count only on a window,
// not on a picture control. None does nothing (no stroke was recognised).
InputCommand GestureCommand(Gesture g, bool onWindow);
