#pragma once
// The viewer itself, without windows: the run-time state and the services
// (picture list and its operations, history, list files, picture cache,
// temporary folder, plug-ins, formats, slideshow timer). It runs every
// command: the list operations and the transfers return what they changed,
// and the viewer brings the screen, the tool box and the menus up to date
// once, at the end of the command. It is the one place where changed
// settings take effect.
#include "app/InputMap.h"
#include "app/ListOps.h"
#include "app/ViewerApps.h"
#include "app/ViewerDisplay.h"
#include "app/ViewerHistory.h"
#include "app/ViewerHost.h"
#include "app/ViewerInput.h"
#include "app/ViewerModes.h"
#include "app/ViewerSettings.h"
#include "app/ViewerStartUp.h"
#include "common/CommandTable.h"
#include "common/ViewerState.h"
#include "decode/PictureFormats.h"
#include "fileops/Journal.h"
#include "fileops/JournalOps.h"
#include "fileops/ToolBoxView.h"
#include "fileops/Transfer.h"
#include "platform/TempFolder.h"

#include <QObject>
#include <memory>

class PluginHost;
class Prompter;

struct ViewerFolders {
    QString application; // settings, history, camera rules
    QString settingsFile;
    QStringList shippedData; // where the files that ship with the program are
    QString plugins;         // the plug-ins that ship with the program
};

// The folders of this installation, found once at start-up.
ViewerFolders ResolveViewerFolders();

class Viewer : public QObject, private TransferHooks
{
    Q_OBJECT
    // Parts of the viewer that work on its state and end in its one refresh.
    friend class ViewerModes;
    friend class ViewerHistory;
    friend class ViewerSettings;
    friend class ViewerControls;
    friend class ViewerStartUp;

public:
    Viewer(const ViewerFolders &folders, Prompter &prompter, ViewerHost &host, QObject *parent = nullptr);
    ~Viewer() override;

    // What windows read. Commands change it; the only windows that write
    // are the two that edit in place while their own command runs (the
    // rename dialog renames the list's files one by one, the same-name
    // dialog keeps its last answers), and tests that arrange a state.
    const ViewerState &state() const { return state_; }
    ViewerState &state() { return state_; }
    PictureFormats &formats() { return formats_; }
    ListOps &listOps() { return *listOps_; }
    CommandTable &commands() { return commands_; }
    const CommandTable &commands() const { return commands_; }
    Transfer &transfer() { return *transfer_; }
    // Every file operation of the viewer, kept across restarts.
    JournalOps &journal() { return *journalOps_; }
    // The journal window took these steps: the list follows the disk.
    void stepsTaken(const QList<JournalStep> &steps);
    // The settings at work and the camera naming rules.
    ViewerSettings &settings() { return settings_; }
    // File operations go through `ops` from now on (tests inject failures).
    void setFileOps(FileOps &ops);
    // Rename and the external applications are usable: an active list with
    // pictures, and file operations allowed.
    bool pictureActionsOn() const { return state_.ListActive && !state_.list.isEmpty() && fileOpsEnabled(); }
    // Transfers, delete and rename allowed: single pages, no slideshow.
    bool fileOpsEnabled() const
    {
        return state_.settings.Tool.State == 0 && !(modes_ && modes_->slideshowOn());
    }

    // ---- tool box ----
    // The open tool box, refreshed at the end of every command; null while
    // it is closed.
    void setToolBox(ToolBoxView *box) { toolBox_ = box; }

    // ---- start-up and end ----
    // The services, the command line, the first show and what waits for the
    // first picture.
    ViewerStartUp &startUp() { return *startUp_; }
    // The closing sequence: stops everything and saves the settings.
    void closeDown(const WindowGeometry &geometry, WindowShowState showState);

    // ---- display ----
    // The surfaces, the picture area, the label and the decoding ahead.
    ViewerDisplay &display() { return display_; }
    // Shows the current picture now (resizes, returning to the program, the
    // tool box's steps, renames): prunes vanished files, normalises the
    // position and paints once.
    void Picture();

    // ---- input ----
    // Keys, clicks and the wheel, as the windows receive them.
    ViewerInput &input() { return input_; }
    // One input command, then the refresh.
    void runInput(InputAction action);

    // ---- modes ----
    // The slideshow and full screen.
    ViewerModes &modes() { return *modes_; }

    // ---- external applications ----
    ViewerApps &apps() { return apps_; }

    // ---- opening ----
    // A list operation of the windows (open files or a folder, drops), then
    // the refresh: `viewer.open(viewer.listOps().openFolder(dir))`.
    void open(ListChange change);

    // ---- history ----
    ViewerHistory &history() { return history_; }

    // ---- order ----
    // The list in `order`, which becomes the current order (the order
    // actions, the tool box's order menu and its reshuffle).
    void sortBy(PlayOrder order);

signals:
    // A frame with at least one picture was painted (benchmarks listen).
    void pictureShown();

private:
    // ---- TransferHooks ----
    bool slideshowRunning() const override { return modes_->slideshowOn(); }
    void applyOrder() override;
    void choosingFolder() override;
    bool isPicture(const QString &path) const override;

    // What the refresh at the end of a command brings up to date. Steps of
    // a command only note here; nothing is painted before the command ends,
    // so the screen shows the final state once.
    struct Pending {
        bool clear = false;    // nothing to show: the surfaces are emptied
        bool paint = false;    // the current picture is shown
        bool toolBox = false;  // the open tool box follows
        bool commands = false; // enabled, checked and captions of the actions
    };
    // The end of every command: clears or paints once, refreshes the tool
    // box once and the actions once.
    void refresh();
    void showNow();
    void clearNow();
    // A list operation's outcome: history, menus and what to show.
    void applyList(const ListChange &change);
    // A transfer's outcome: what to show, and the undo command.
    void applyTransfer(TransferResult result);
    // Notes that nothing is to be shown (ImageCls).
    void ImageCls();
    void perform(InputAction action);

    void buildCommands();
    // Transfers and deletes were allowed or stopped (EnableFileOps).
    void fileOpsChanged();

    ViewerFolders folders_;
    Prompter &prompter_;
    ViewerHost &host_;
    ViewerState state_;
    PictureFormats formats_{PictureFormats::Empty{}}; // Qt's formats are added in startUp()
    CommandTable commands_;
    std::unique_ptr<ListOps> listOps_;
    std::unique_ptr<PluginHost> plugins_;
    TempFolder temp_;
    ViewerDisplay display_{state_};
    ViewerHistory history_{*this, folders_.application};
    ViewerApps apps_;
    ViewerSettings settings_{*this, folders_};
    ViewerModes *modes_ = nullptr;
    ViewerInput input_{state_, {[this](InputAction a) { runInput(a); },
                                [this](bool forward) {
                                    // The wheel steps and redisplays even without an active list.
                                    listOps_->StepIndex(forward);
                                    Picture();
                                }}};
    Pending pending_;

    bool activationArmed_ = true;
    bool closing_ = false;
    ViewerStartUp *startUp_ = nullptr;
    Journal journal_;
    std::unique_ptr<JournalOps> journalOps_;
    std::unique_ptr<Transfer> transfer_;
    ToolBoxView *toolBox_ = nullptr;
};
