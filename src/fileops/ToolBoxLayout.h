#pragma once
// The tool box's arithmetic and texts, without widgets: where the transfer
// area ends, how a transfer button's face reads, what the order button says,
// and the caption a folder gives its button.
#include "common/ViewModes.h"

#include <QString>
#include <optional>

struct TransferSlot;

namespace toolbox
{
constexpr int kClientWidth = 142;
constexpr int kDivideTop = 350; // the divider's top: the transfer area starts here
constexpr int kMaxButtons = 10;
constexpr int kButtonLeft = 20;
constexpr int kButtonWidth = 110;
constexpr int kButtonHeight = 25;
constexpr int kLabelLeft = 3;
constexpr int kCaptionMax = 12; // a caption keeps at most this many characters
constexpr int kEditMax = 14;    // an edited caption is first cut to this
constexpr int kCutLength = 14;  // a caption of exactly this length ...
constexpr int kCutTo = 11;      // ... shows only this many characters
} // namespace toolbox

// The number of transfer buttons a stored count gives room for (0..10).
int TransferButtonCount(int nButton);

// Client height of the tool box: cut at the divider while the transfer area
// is closed, else room for `nButton` buttons below it.
int PanelHeight(bool open, int nButton, int divideTop = toolbox::kDivideTop);

// Top of the button of slot `slot` (0-based); its numbered label is level with it.
int ButtonTop(int slot, int divideTop = toolbox::kDivideTop);

// The face of a transfer button.
struct ButtonFace {
    QString caption; // centred with spaces
    bool runTime;    // purple bold with the tree glyph, else navy with the folder glyph
    QString hint;    // the folder; empty: no hint
};
ButtonFace ButtonFaceSet(const TransferSlot &slot);

// The caption centred in `width` character places: (width - length) / 2 - 1
// spaces before (rounded toward zero), the rest after; never negative.
QString CentredCaption(const QString &text, int width);

// The last folder of `path`: one trailing separator dropped, then
// everything up to the last separator ("/Photos/Cats/" -> "Cats").
QString LastFolderName(const QString &path);

// The captions of a slot that asks for its folder at each transfer, and of
// one bound to nothing.
inline const QString kAnyWhereCaption = QStringLiteral("AnyWhere");
inline const QString kNoneCaption = QStringLiteral("none");

// The caption a folder bound to a button gets.
QString FolderCaption(const QString &folder);

// The caption a slot keeps after in-place editing ended with `text`.
QString EditedCaption(const QString &text);

// What the order button shows for an order: its caption and the name of its
// glyph. Nothing for a number that is no order.
struct SortFace {
    QString caption;
    QString glyph;
};
std::optional<SortFace> SortCaptionSet(int order);

// Tick spacing of the position slider for its maximum.
int SliderTickFrequency(int maximum);
