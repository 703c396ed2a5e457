#pragma once
// The main window's dialogs and the commands that open them: open files
// and a folder, the options, the launcher, help and about, the journal of
// file operations, rename with its mode menu, and the copy to the
// clipboard. Each hands what the user confirmed to the viewer, which
// refreshes once.
#include "fileops/ui/RenameContext.h"

#include <QObject>
#include <functional>

class CommandTable;
class DisplaySurface;
class QMenu;
class QWidget;
class TToolBox;
class Viewer;

class MainDialogs : public QObject
{
    Q_OBJECT
public:
    struct Context {
        QWidget *window;  // the parent of the dialogs
        Viewer &viewer;
        Prompter &prompter;
        QString appFolder; // settings, history, launchers' lists
        // The surface that shows the picture (the full screen's while open).
        std::function<const DisplaySurface *()> surfaceShown;
        std::function<TToolBox *()> toolBox; // null while it is closed
        std::function<void()> refocus;
    };
    explicit MainDialogs(Context context);

    // The rows that open the dialogs, in the viewer's command table.
    void addCommands(CommandTable &commands);
    // The rename mode menu (N1..N5); the tool box's rename button drops it down.
    QMenu *renameModeMenu() const { return PopupMenu3; }

private:
    // What the rename dialog works on.
    RenameContext renameContext();
    void openPictureFiles();
    void openFolder();
    void showOptions();
    void makeLauncher();
    void showJournal();
    void renamePictures();
    void copyToClipboard();

    Context ctx_;
    QMenu *PopupMenu3 = nullptr;
    RenameHost renameHost_;
};
