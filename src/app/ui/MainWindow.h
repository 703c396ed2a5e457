#pragma once
// The main window: menus and their actions, the window's geometry, the
// status bar and the dialogs. The viewer's logic runs in Viewer; the
// pictures are painted on a DisplaySurface.
#include "app/Actions.h"
#include "app/Viewer.h"

#include <QMainWindow>
#include <array>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class DisplaySurface;
class FullScreenWindow;
class HistoryMenu;
class KeyRouter;
class MainDialogs;
class AppMenus;
class QtPrompter;
class ToolBoxLink;

class MainWindow : public QMainWindow, public ViewerHost
{
    Q_OBJECT
public:
    // FormCreate: settings, actions, plug-ins, temporary folder and the
    // command line (args without the program name). `prompter` replaces the
    // message boxes (tests script the answers); it must outlive the window.
    // `folders` are the installation's, resolved once by main().
    explicit MainWindow(const QStringList &args, Prompter *prompter = nullptr, QWidget *parent = nullptr,
                        const ViewerFolders &folders = ResolveViewerFolders());
    ~MainWindow() override;

    Viewer &viewer() { return *viewer_; }
    const ViewerState &state() const { return std::as_const(*viewer_).state(); }
    QAction *action(ActionId id) const { return actions_[size_t(id)]; }
    FullScreenWindow *fullScreenWindow() const { return fMax_; }
    DisplaySurface *surface() const { return surface_; }
    // The first show when the window itself stays hidden (/Full=on).
    void runFirstShow();
    // True when the command line opened full screen: main() must not show us.
    bool startsHidden() const { return fMax_ != nullptr; }
    void slideshowToggle() { viewer_->modes().toggleSlideshow(); }
    // The rename mode menu (N1..N5); the tool box's rename button drops it down.
    QMenu *renameModeMenu() const;
    // The tool box (ToolBox1); its window is null while it is closed.
    ToolBoxLink &toolBox() { return *toolBox_; }

    // ---- ViewerHost ----
    // The caption follows every display; so does the status bar's second
    // panel (the position and the transfer tally).
    void setCaption(const QString &caption) override;
    void commandsChanged() override;
    void historyChanged(const QStringList &captions) override;
    DisplayTarget *setFullScreen(bool on) override;
    void requestClose() override { close(); }
    void restoreGeometry() override { applyStoredGeometry(); }
    bool windowVisible() const override { return isVisible(); }
    void hideWindow() override { hide(); }
    void appsChanged() override;
    void showAppMenu() override;
    // Drops onto the viewer's own windows on or off (off while dragging out).
    void setDropsAccepted(bool on);

signals:
    // Emitted after a picture is painted on screen (benchmarks listen).
    void pictureShown();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createWidgets();
    void createActions();
    void createMenus();
    void addWindowCommands();
    void FormShow();
    void applyStoredGeometry();
    void correctFrameGeometry();
    void FormResize();
    void onFullScreenClosedByUser();
    void refocus();

    std::unique_ptr<QtPrompter> qtPrompter_;
    Prompter *prompter_ = nullptr; // the message boxes, or the one tests script
    QString appFolder_;            // settings, history, camera rules
    std::unique_ptr<Viewer> viewer_;
    std::unique_ptr<ToolBoxLink> toolBox_; // goes before the viewer it uses
    std::array<QAction *, size_t(ActionId::Count)> actions_{};
    HistoryMenu *historyMenu_ = nullptr;
    DisplaySurface *surface_ = nullptr;
    QLabel *status_ = nullptr;
    QLabel *place_ = nullptr; // the second panel: position and tally
    FullScreenWindow *fMax_ = nullptr;
    KeyRouter *keys_ = nullptr;
    QMenu *toolsMenu_ = nullptr;
    QMenu *PopupActionBar1 = nullptr;
    AppMenus *appMenus_ = nullptr;
    MainDialogs *dialogs_ = nullptr;

    bool closing_ = false;
    bool firstStart_ = false;       // no settings file: the tool box goes beside us
    bool geometryRestored_ = false; // the stored geometry was applied
    bool frameCorrected_ = false;   // the window frame was taken into account
    bool framePredicted_ = false;   // the window manager was asked for its frame
    QMargins predictedFrame_;       // its answer, before the window is first shown
};
