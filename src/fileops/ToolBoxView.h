#pragma once
// The tool box as the viewer sees it while it is open: brought up to date
// once at the end of each command, so that what it shows follows.

class ToolBoxView
{
public:
    virtual ~ToolBoxView() = default;
    // The list or the position changed: the buttons that need pictures are
    // enabled by the count, the slider follows the current picture.
    virtual void Active() = 0;
    // The modes changed: switches, display form, copy or move, undo, the
    // transfer area, the order, the file operations.
    virtual void showState() = 0;
    // Everything at once: what the viewer calls after a command.
    virtual void refresh()
    {
        showState();
        Active();
    }
    // A run-time folder is about to be asked for.
    virtual void choosingFolder() = 0;
};
