#pragma once
// Placement arithmetic of the picture display: the size of one display slot,
// where each picture goes inside it, which list entry each slot shows, and
// where the file-name label and the error labels sit. Pure functions over
// sizes, shared by the main window, the full-screen window and the
// comparison dialog.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <functional>

namespace layout
{

// Halves go to the even neighbour (2.5 -> 2, 3.5 -> 4), whatever the FPU mode.
int roundHalfEven(double x);

// Size of one display slot. `client` is the window's client size; the bars
// are subtracted from the height (pass 0 for windows without them). A spread
// halves the width (truncated). Never negative.
QSize ComputeArea(bool spread, QSize client, int statusBarHeight = 0, int menuBarHeight = 0);

enum class Placement { Natural, FitWidth, FitHeight };

struct PictureLayout {
    QRect rect; // in the coordinates of the window holding both slots
    Placement placement = Placement::Natural;
};

// Size and position of one picture of `picture` pixels in a slot of `area`.
// `zoom` enlarges pictures smaller than the slot; `spread` is true in both
// two-page forms, where slot 0 ends and slot 1 starts at x = area width;
// `menuBarHeight` is added to the top (0 outside the main window).
// A picture without pixels gets an empty rectangle.
PictureLayout LayoutPicture(QSize picture, QSize area, bool zoom, bool spread, int slot,
                            int menuBarHeight = 0);

// Which list entry each display slot shows, and which of the two decoded
// pictures it is loaded into. -1 means the slot stays empty (no error label).
struct SlotPlan {
    std::array<int, 2> page{-1, -1};    // list index shown in slot 0 / slot 1
    std::array<int, 2> picture{-1, -1}; // decoded picture (0 current, 1 next) for each slot
    bool slotInUse(int slot) const { return page[size_t(slot)] >= 0; }
};

// `toolState` 0 single page, 1 pairs 0+1, 2+3, ..., 2 page 0 alone then 1+2, ...;
// `orient` is the slot of the current page in a spread (0 left, 1 right).
// `index` must already be normalised into 0..count-1.
SlotPlan PlanSlots(int toolState, int orient, int index, int count);

// Top-left corner of the "表示不可" label of a slot.
QPoint ErrorLabelPosition(int slot, QSize area, int fontPixelHeight, int textWidth, int menuBarHeight = 0);

// ---- file-name label ----

// Natural panel size for `name` in a font `fontPixelHeight` pixels high:
// height 1.2 lines (truncated), width one em per character.
QSize FileNameLabelSize(const QString &name, int fontPixelHeight);

// Measures the label text at a point size; must accept any size >= 1.
using TextWidthAt = std::function<int(int pointSize)>;

struct ShrunkFont {
    int pointSize = 1;
    int width = 0; // text width at that size
};

// Steps the font down one point at a time from `fontSize` - 1 until the text
// fits `maxWidth`; never below 1 point, so a name that fits nowhere ends at 1.
ShrunkFont ShrinkLabelFont(int maxWidth, int fontSize, const TextWidthAt &measure);

struct LabelWindow {
    int limitWidth = 0;   // width the label must fit (outer width full screen, client width otherwise)
    int outerWidth = 0;   // window width used for horizontal placement
    int height = 0;       // client height (main window) or window height (full screen)
    int topOffset = 0;    // menu bar height in the main window, else 0
    int bottomOffset = 0; // status bar height in the main window, else 0
};

struct LabelPlacement {
    bool visible = false; // false when the label is switched off (flag 0)
    QRect rect;
    int pointSize = 0;
};

// Places the label for `flag` 1..6 (top left, top centre, top right, bottom
// left, bottom centre, bottom right). `panel` is the panel's size from
// FileNameLabelSize; when it is wider than the window allows, the font is
// shrunk and the panel takes the shrunk text width (its height is kept).
LabelPlacement PlaceFileNameLabel(int flag, QSize panel, int fontSize, const LabelWindow &window,
                                  const TextWidthAt &measure);

} // namespace layout
