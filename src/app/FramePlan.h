#pragma once
// Plans one frame of the display from the list position and the display
// form: which entry each slot shows, where, and which slot failed to load.
#include "app/Frame.h"
#include "common/ViewModes.h"

#include <QSize>
#include <QStringList>
#include <functional>

struct FrameRequest {
    QStringList pages; // the picture list
    int index = 0;     // normalised into 0..count-1
    DisplayForm form = DisplayForm::Single;
    int orient = 0;    // slot of the current page in a spread
    bool zoom = false; // enlarge small pictures
    QSize area;        // one display slot
    // "表示不可" in its font: text width and font pixel height. Asked only
    // when a slot cannot be shown; {64, 16} when not given.
    std::function<QSize()> errorTextSize;
};

// Decodes one slot's picture; false when it cannot be shown.
using SlotLoader = std::function<bool(const QString &path, PictureData &picture)>;

// The caption of a window showing entry `index` of `count`.
QString PictureCaption(int index, int count, const QString &path);

Frame PlanFrame(const FrameRequest &request, const SlotLoader &load);
