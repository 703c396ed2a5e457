#pragma once
// What the tool box reads and runs in the viewer: it reads the viewer's
// state and changes it only through the viewer's commands, so the menus,
// the windows and the tool box show the same state.
#include "common/CommandTable.h"
#include "common/ViewerState.h"

class Prompter;
class QMenu;

class ToolBoxHost
{
public:
    virtual ~ToolBoxHost() = default;

    // The viewer's state, read only.
    virtual const ViewerState &model() const = 0;
    // The viewer's commands: the menus' actions by id, and the tool box's
    // controls with their argument.
    virtual const CommandTable &commands() const = 0;
    virtual Prompter &prompter() = 0;
    // The rename mode menu the rename button drops down.
    virtual QMenu *renameModeMenu() = 0;
    // The keyboard focus back to the picture.
    virtual void returnFocus() = 0;
};
