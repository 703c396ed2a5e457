#pragma once
// Opening the rename dialog and choosing its mode, as the main window and
// the tool box call them.
#include "fileops/ui/RenameContext.h"

class QWidget;

// Opens the rename dialog modally on the picture at PictureIndex, unless one
// is already open. The caller switches the list to name order first.
void NameChangeDlg(const RenameContext &ctx, QWidget *parent);

// A mode chosen from the mode menu (tag = mode + 1): sets RenameMode, then
// relays it out the open dialog or opens one.
void MenuItem1Click(const RenameContext &ctx, int tag, QWidget *parent);

// Modes 3 and 4 fall back to 2 at the first picture; mode 1 restarts its
// numbering. Then every rename button and panel shows the mode's name.
void RenameModeCheck(const RenameContext &ctx);

// Shows `name` on the tool box's rename button and the open dialog's panel.
void RenameModeCaptionSet(const RenameContext &ctx, const QString &name);
