#pragma once
// What can be run in the viewer, by id: the actions of the menus, and the
// tool box's controls that have no menu item and take an argument.
#include <QString>

enum class ActionId {
    fileopen1,
    OpenFolder1,
    slideshow1,
    option1,
    ShortcutCreate,
    List1,
    ListDel1,
    exit1,
    MoveUndo1,
    Redo1,
    Journal1,
    fNameChange1,
    clipcopy1,
    ToolBox1,
    CopyMode1,
    MoveMode1,
    Transfer1,
    Max1,
    FileNameVisible1,
    menu_random,
    menu_normal,
    menu_reverse,
    Action1,
    Help1,
    about1,
    Count
};

// Each control's argument is in ControlArg: `n` (and `m`) numbers, `text`.
enum class ControlId {
    Step,             // n: +1 one page or spread forward, -1 back
    Delete,           // the picture on screen to the trash (single pages only)
    Reshuffle,        // the list in random order once more (random order only)
    Zoom,             // n: 1 enlarges small pictures to the window, 0 not
    AutoRotate,       // n: 1 turns JPEGs by their orientation, 0 not
    FullScreen,       // n: 1 full screen, 0 the window
    DisplayForm,      // n: 0 single page, 1 spread (odd), 2 spread (even)
    Orientation,      // n: 0 left to right, 1 right to left
    Position,         // n: the picture to show (the slider)
    SortBy,           // n: the PlayOrder
    CopyMode,         // n: 1 copy, 0 move
    TransferTo,       // n: the slot the picture goes through
    Redisplay,        // the picture again (a dragged-out file may have gone)
    AcceptDrops,      // n: 1 the viewer's windows take drops, 0 not (while dragging out)
    SlotFolder,       // n: the slot, text: its folder (the caption follows)
    SlotRunTime,      // n: the slot asks for its folder at each transfer
    SlotClear,        // n: the slot is bound to nothing
    SlotCaption,      // n: the slot, text: its caption as typed
    ChooseSlotFolder, // n: the slot, text: the folder picker's title
    ToolPlace,        // n, m: where the tool box is (its frame's top left)
    Count
};

struct ControlArg {
    int n = 0;
    int m = 0;
    QString text;
};
