#pragma once
// The main window's actions and menus as data: one table of names, captions,
// categories and shortcuts, and the menu layout that refers to it.
#include "common/Commands.h"

#include <QString>
#include <span>


struct ActionSpec {
    ActionId id;
    const char *name;
    QString caption;     // the action's own caption
    QString menuCaption; // the menu item's caption (with its accelerator)
    QString category;
    QString shortcut; // portable key sequence text ("; " between several), empty for none
    bool checkable;
    int tag; // order number for the four order actions, else 0
    QString hint;
};

const ActionSpec &actionSpec(ActionId id);
std::span<const ActionSpec> allActions();

// Menu layout: a menu is a caption and entries; an entry is an action, a
// separator, a submenu, or the place where the external applications go.
struct MenuEntry {
    enum Kind { Action, Separator, SubmenuBegin, SubmenuEnd, AppEntries } kind;
    ActionId action = ActionId::Count;
    QString caption; // for SubmenuBegin
};
struct MenuSpec {
    QString caption;
    std::span<const MenuEntry> entries;
};
std::span<const MenuSpec> mainMenus();
