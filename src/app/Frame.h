#pragma once
// One frame of the display as a plain value: what each slot shows and where,
// which slots show "表示不可", the caption and the file-name label. The
// viewer plans it; the windows only paint it.
#include "decode/PictureData.h"
#include "settings/Settings.h"

#include <QRect>
#include <QString>
#include <array>

struct SlotFrame {
    QString path;        // empty: the slot stays empty
    PictureData picture; // decoded picture (null when it failed)
    QRect rect;          // place of the picture on the surface
    bool failed = false; // shows "表示不可" (spreads) instead of a picture
    QPoint errorPos;     // top-left corner of "表示不可"
};

struct Frame {
    enum class Kind {
        Pictures, // paint the slots
        Blank,    // a single-page picture failed: empty slot, keep the rest
    };
    Kind kind = Kind::Pictures;
    bool spread = false;
    std::array<SlotFrame, 2> pages;
    QString caption;
    QString fileName; // label text ("" keeps the label as it was)
    bool anyShown() const
    {
        for (const SlotFrame &s : pages)
            if (!s.path.isEmpty() && !s.failed && !s.picture.isNull())
                return true;
        return false;
    }
};

// What the surface needs to place the file-name label.
struct LabelStyle {
    TfnLabel label;
    bool shown = true; // Window.FileNameShown
    bool singlePage = true;
};
