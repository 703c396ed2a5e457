#pragma once
// The external applications of the tools menu and the space key: what each
// configured entry is called, and starting it on the picture being shown.
// An entry is a program, or a freedesktop launcher (".desktop") whose Exec
// line says how to call its program.
#include "desktop/DesktopEntry.h"

#include <QList>
#include <QString>
#include <QStringList>

class Prompter;

struct AppEntry {
    QString path;    // as configured
    QString caption; // what the menus show
    bool launcher = false;
    DesktopEntry desktop; // the launcher's content (launchers only)
    bool readable = true; // false when the launcher file could not be read
};

// Last path component without its extension: "/opt/my.tools/view.sh" gives
// "view.sh" minus ".sh" = "view". A suffix of digits is a version, not an
// extension ("gimp-2.10" stays whole), and a name is never cut to nothing.
QString AppDisplayName(const QString &path);

// Reads one configured entry; launchers are read now for their Name.
AppEntry ReadAppEntry(const QString &path, const QString &locale = MessagesLocale());
QList<AppEntry> ReadAppEntries(const QStringList &appList);

// One item of the tools menu and of the pop-up menu, per entry.
struct AppMenuItem {
    QString id;         // "app0", "app1", ...
    QString actionText; // tools menu: "&" + caption, other '&' doubled
    QString popupText;  // pop-up menu: caption, '&' doubled
    int index = 0;      // into the application list
    bool enabled = false;
    friend bool operator==(const AppMenuItem &, const AppMenuItem &) = default;
};

// The menus for the entries; items are enabled exactly while a list is active.
QList<AppMenuItem> AppMenuModel(const QList<AppEntry> &apps, bool listActive);

// How an entry is started on a picture, or why it cannot be.
struct AppLaunch {
    QString program;
    QStringList arguments;
    QString workingFolder; // the program's own folder, unless a launcher names one
    QString problem;       // non-empty: cannot be started (Japanese reason)
};
AppLaunch PrepareLaunch(const AppEntry &app, const QString &picturePath);

// Starts the entry on the picture without waiting for it. A failure beeps
// and shows an error naming the program; our own current folder is never
// changed. Returns whether the program started.
bool RunApp(const AppEntry &app, const QString &picturePath, Prompter &prompter);
