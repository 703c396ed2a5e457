#pragma once
// The run-time state that the viewer owns and every part of it reads: the
// settings record, the picture list and the flags of the moment.
#include "common/AppTexts.h"
#include "common/PictureList.h"
#include "common/ViewModes.h"
#include "settings/Settings.h"

#include <QString>
#include <cstdint>

struct ViewerState {
    Settings settings;

    PictureList list;
    int32_t PictureIndex = 0;
    PlayOrder SortOrder = PlayOrder::Name;

    bool ListActive = false;
    bool ShortcutRun = false;
    int32_t RepeatMode = -1;
    bool FullScreen = false;
    bool QuitRequested = false;
    bool AutoRotate = true;
    bool ComMax = false;
    bool FirstFlag = true;

    QString TempFolder;
    QString PictureFilter;
    // The size of one display slot (AreaWidth, AreaHeight) is the display's.
};

// The picture at PictureIndex, empty without one.
inline QString CurrentPicture(const ViewerState &state)
{
    const int i = state.PictureIndex;
    return i >= 0 && i < state.list.count() ? state.list.at(i) : QString();
}
