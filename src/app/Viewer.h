#pragma once
// The viewer itself, without windows: the run-time state and the services
// (picture list and its operations, history, list files, picture cache,
// temporary folder, plug-ins, formats, slideshow timer). It runs every
// command: the list operations and the transfers return what they changed,
// and the viewer brings the screen, the tool box and the menus up to date
// once, at the end of the command. It is the one place where changed
// settings take effect.
#include "app/CommandTable.h"
#include "app/InputMap.h"
#include "app/ListOps.h"
#include "app/ViewerHost.h"
#include "app/ViewerState.h"
#include "decode/PictureCache.h"
#include "decode/PictureFormats.h"
#include "extras/AppLauncher.h"
#include "fileops/DcimRules.h"
#include "fileops/RuleFile.h"
#include "fileops/SortTally.h"
#include "fileops/ToolBoxView.h"
#include "fileops/Transfer.h"
#include "platform/TempFolder.h"
#include "settings/OptionValues.h"
#include "settings/SettingsStore.h"

#include <QObject>
#include <memory>

class History;
class PluginHost;
class Prompter;
class SlideshowTimer;

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
public:
    Viewer(const ViewerFolders &folders, Prompter &prompter, ViewerHost &host, QObject *parent = nullptr);
    ~Viewer() override;

    const ViewerFolders &folders() const { return folders_; }
    ViewerState &state() { return state_; }
    const ViewerState &state() const { return state_; }
    Prompter &prompter() { return prompter_; }
    PictureFormats &formats() { return formats_; }
    ListOps &listOps() { return *listOps_; }
    CommandTable &commands() { return commands_; }
    Transfer &transfer() { return *transfer_; }
    // The camera naming rules, as read from "DCIM_rule.dat" at start-up.
    const DcimRuleTable &rules() const { return rules_; }
    const QStringList &ruleLines() const { return ruleFile_.lines(); }
    // New rule lines (the options dialog): parsed, then written back.
    void setRuleLines(const QStringList &lines);
    // File operations go through `ops` from now on (tests inject failures).
    void setFileOps(FileOps &ops);
    bool isSlideshowOn() const;
    // MenuCheck's state: rename and the external applications are usable.
    bool pictureActionsOn() const { return pictureActions_; }
    // Transfers, delete and rename allowed (single page, no slideshow).
    bool fileOpsEnabled() const { return fileOpsEnabled_; }

    // ---- tool box ----
    // The open tool box, refreshed at the end of every command; null while
    // it is closed.
    void setToolBox(ToolBoxView *box) { toolBox_ = box; }
    ToolBoxView *toolBox() const { return toolBox_; }

    // ---- start-up and end ----
    // Reads the settings; true when the window was stored maximised.
    bool loadSettings(const WindowGeometry &windowDefaults);
    // Plug-ins, picture filter, temporary folder, history.
    void startUp();
    void applyCommandLine(const QStringList &args);
    // The first show: orders and activates the list (the host restores its
    // geometry in between through `restore`).
    void firstShow(const std::function<void()> &restore);
    // A surface is painting a picture. The first time after the first show,
    // the neighbours and the history follow once that frame is out.
    void pictureOnScreen();
    // The closing sequence: stops everything and saves the settings.
    void closeDown(const WindowGeometry &geometry, WindowShowState showState);
    bool closing() const { return closing_; }

    // ---- display ----
    // The main window's surface; the full-screen window's replaces it while open.
    void setMainTarget(DisplayTarget *target);
    DisplayTarget *currentTarget() const { return target_; }
    void ComputeArea();
    // Shows the current picture now (resizes, returning to the program, the
    // tool box's steps, renames): prunes vanished files, normalises the
    // position and paints once.
    void Picture();
    // The one place where changed settings take effect: display form and
    // orientation, zoom, label, slideshow interval, file operations.
    void ApplySettings();
    // What follows a confirmed options dialog: the slideshow interval, the
    // application menus, the plug-ins and picture filter, the camera rules,
    // then the display and its label.
    void applyOptions(const OptionResult &changes);
    void toggleFileNameLabel();
    LabelStyle labelStyle() const;
    // Decodes the neighbours of the current page in the background.
    void prefetchAround();
    // Shows `name` on the file-name label of the current surface.
    void showFileName(const QString &name);

    // ---- input ----
    // A key went down; autoRepeat/timestamp let a held key drop its backlog.
    void keyDown(int key, const QString &text, bool autoRepeat, quint64 timestamp);
    void mousePress(QPoint globalPos);
    void mouseRelease(Qt::MouseButton button, QPoint globalPos);
    void wheel(int angleDeltaY);
    void runInput(InputAction action);

    // ---- modes ----
    // CopyMode1 / MoveMode1 (CMcheck follows through the command table).
    void setCopyMode(bool copy);
    // Transfer1: opens or closes the transfer switch (Xfer follows).
    void toggleTransferSwitch();
    void toggleSlideshow();
    void toggleFullScreen();
    // The full-screen window went away without Max1 (window manager);
    // `showMain` shows the main window again before the redisplay.
    void fullScreenClosed(const std::function<void()> &showMain);
    // Files dropped on the full-screen window: they become the set.
    void dropOnFullScreen(const QStringList &paths);
    // Files, folders, archives and list files dropped on the main window.
    void dropOnMain(const QStringList &paths);

    // ---- external applications ----
    const QList<AppEntry> &apps() const { return apps_; }
    // The application menus as they should be now.
    QList<AppMenuItem> appMenuModel() const;
    // Starts application `index` on the picture shown.
    void runApp(int index);
    // The picture at PictureIndex, empty without one.
    QString currentPath() const;
    // Pictures sent to each transfer folder in this run.
    SortTally &tally() { return tally_; }
    // The status bar's second panel: the position and the tally.
    QString placeText() const;
    // Pictures held decoded, shown or ahead of the user.
    int decodedPictures() const { return cache_.count(); }

    // ---- opening ----
    // The files chosen in the open dialog; the chosen folder (nullopt: cancelled).
    void openFiles(const QStringList &files);
    void openFolder(const std::optional<QString> &folder);

    // ---- history ----
    void readHistoryEntry(int tag);
    void clearHistory();

    // ---- order ----
    // The list in `order`, which becomes the current order (the order
    // actions, the tool box's order menu and its reshuffle).
    void sortBy(PlayOrder order);

signals:
    // A frame with at least one picture was painted (benchmarks listen).
    void pictureShown();

private:
    // ---- TransferHooks ----
    bool slideshowRunning() const override { return isSlideshowOn(); }
    void applyOrder() override;
    void choosingFolder() override;

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
    void setSlideshow(bool on);
    void switchFullScreen();
    void applySettingsNow();
    // The display form changed: file operations, picture area, a new paint.
    void ApplyDisplayMode();
    void recordHistory(const QStringList &list);
    void refreshHistory();

    void buildCommands();
    // Archives named on the command line, extracted after the first paint.
    void addDeferredArchives();
    void slideshowStep();
    void MaxNormal();
    void MenuCheck(bool flag);
    void EnableFileOps(bool on);
    LoadOptions slotLoadOptions() const;
    // Decoding ahead starts once the first picture is on screen.
    void afterFirstPicture();

    ViewerFolders folders_;
    Prompter &prompter_;
    ViewerHost &host_;
    ViewerState state_;
    PictureFormats formats_{PictureFormats::Empty{}}; // Qt's formats are added in startUp()
    CommandTable commands_;
    std::unique_ptr<ListOps> listOps_;
    std::unique_ptr<History> history_;
    std::unique_ptr<PluginHost> plugins_;
    TempFolder temp_;
    PictureCache cache_;
    SlideshowTimer *timer_ = nullptr;
    DisplayTarget *mainTarget_ = nullptr;
    DisplayTarget *target_ = nullptr;
    Pending pending_;

    ClickTracker clicks_;
    WheelStepper wheel_;
    bool activationArmed_ = true;
    bool closing_ = false;
    // Neighbours wait until the first picture is on screen, and so does
    // writing the history (lists noted meanwhile, oldest first).
    bool neighboursAllowed_ = false;
    bool firstPaintSeen_ = false;
    bool earlyAwaited_ = false; // a display waits for the early picture
    QList<QStringList> pendingHistory_;
    void writePendingHistory();
    quint64 busyUntil_ = 0; // event time until which the last key step kept us busy
    bool fileOpsEnabled_ = true; // transfers and deletes allowed (single page, no slideshow)
    bool pictureActions_ = false; // MenuCheck: rename and the external applications
    std::unique_ptr<Transfer> transfer_;
    ToolBoxView *toolBox_ = nullptr;
    QList<AppEntry> apps_;
    QStringList deferredArchives_;
    DcimRuleFile ruleFile_;
    DcimRuleTable rules_;
    SortTally tally_;
    QString placeShown_; // what the host shows of placeText()
};
