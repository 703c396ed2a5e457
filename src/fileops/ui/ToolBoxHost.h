#pragma once
// What the tool box reads and runs in the viewer. The main window provides
// it; every change goes through the viewer's own commands, so the menus,
// the windows and the tool box show the same state.
#include "common/ViewModes.h"

#include <QString>

class Prompter;
class QMenu;
struct Settings;

class ToolBoxHost
{
public:
    virtual ~ToolBoxHost() = default;

    // ---- what it shows ----
    virtual Settings &settings() = 0;
    virtual int pictureCount() const = 0;
    virtual int pictureIndex() const = 0;
    // The picture on screen; empty when there is none.
    virtual QString currentPicture() const = 0;
    virtual PlayOrder sortOrder() const = 0;
    virtual bool fullScreen() const = 0;
    virtual bool autoRotate() const = 0;
    // Transfers, delete and rename allowed (single page, no slideshow).
    virtual bool fileOpsEnabled() const = 0;
    virtual bool canUndo() const = 0;
    virtual Prompter &prompter() = 0;
    // Start folder of the folder pickers, shared with run-time transfers.
    virtual QString &SetPath() = 0;
    // The rename mode menu the rename button drops down.
    virtual QMenu *renameModeMenu() = 0;

    // ---- what it runs ----
    // One page or spread; the caller displays when the position changed.
    virtual void StepIndex(bool forward) = 0;
    virtual void toggleSlideshow() = 0;
    // The current picture to the trash; the caller displays.
    virtual void fDelete() = 0;
    virtual void setPictureIndex(int index) = 0;
    // The display step.
    virtual void Picture() = 0;
    // Option.Zoom, Tool.State or Tool.Orient changed in the settings.
    virtual void ApplySettings() = 0;
    virtual void setAutoRotate(bool on) = 0;
    virtual void setFullScreen(bool on) = 0;
    virtual void setCopyMode(bool copy) = 0;
    virtual void toggleTransferSwitch() = 0;
    virtual void revival() = 0;
    // The journal window (the undo button's right-click).
    virtual void showJournal() {}
    virtual void ArBitBtnProcess(int slot) = 0;
    // An order chosen from the order menu.
    virtual void sortBy(PlayOrder order) = 0;
    // The list in random order once more.
    virtual void reshuffle() = 0;
    // The rename dialog, after putting the list in name order.
    virtual void NameChangeBtnClick() = 0;
    virtual void openOptions() = 0;
    // Drops onto the viewer's windows, the tool box included, on or off
    // (while a file is dragged out).
    virtual void setDropsAccepted(bool on) = 0;
    // The keyboard focus back to the picture.
    virtual void returnFocus() = 0;
};
