#pragma once
// The main window: owns the run-time state, the actions and menus, the two
// display slots and the status bar, and runs the start-up, display and
// closing sequences. Logic lives in ListOps, Layout, InputMap and friends.
#include "app/Actions.h"
#include "app/InputMap.h"
#include "app/ListHooks.h"
#include "app/ListOps.h"
#include "app/ViewerState.h"
#include "decode/PictureCache.h"
#include "decode/PictureData.h"
#include "decode/PictureFormats.h"
#include "platform/TempFolder.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class PictureView;
class QtPrompter;
class SlideshowTimer;
class FullScreenWindow;
class History;
class HistoryMenu;
class PluginHost;

// What the display step draws into: the main window's or the full-screen
// window's two slots and file-name panel.
struct DisplaySurface {
    QWidget *window = nullptr;
    std::array<PictureView *, 2> image{};
    QLabel *panel = nullptr;
    int menuBarHeight = 0;
    bool fullScreen = false;
};

class MainWindow : public QMainWindow, public ListHooks
{
    Q_OBJECT
public:
    // FormCreate: state, settings, actions, plug-ins, temporary folder and
    // the command line (args without the program name).
    // `prompter` replaces the message boxes (tests script the answers); it
    // must outlive the window.
    explicit MainWindow(const QStringList &args, Prompter *prompter = nullptr, QWidget *parent = nullptr);
    ~MainWindow() override;

    ViewerState &state() { return state_; }
    ListOps &listOps() { return *listOps_; }
    Prompter &prompter();
    QAction *action(ActionId id) const { return actions_[size_t(id)]; }
    FullScreenWindow *fullScreenWindow() const { return fMax_; }
    PictureFormats &formats() { return formats_; }
    // The first show when the window itself stays hidden (/Full=on).
    void runFirstShow();
    // True when the command line opened full screen: main() must not show us.
    bool startsHidden() const { return fMax_ != nullptr; }

    // ---- display (MainWindowDisplay.cpp) ----
    void Picture() override;
    void ImageCls() override;
    void ComputeArea(bool spread);
    void ApplyDisplayMode();
    void EnableFileOps(bool on);
    void MenuCheck(bool flag);
    void ShowFileName(const QString &name);
    void UpdateLabelVisibility();
    void ApplyLabelFont(QLabel *panel);

    // ---- ListHooks ----
    void setActivationArmed(bool armed) override { activationArmed_ = armed; }
    void refreshToolBox() override {}
    bool toolBoxSort(int) override { return false; }
    void RecordHistory(int listMax, const QStringList &list) override;
    bool ReadListFile(const QString &path) override;
    void listStateChanged() override;

    // ---- input (MainWindowInput.cpp); the full-screen window forwards here ----
    void handleKeyDown(QKeyEvent *event);
    void handleMousePress(QMouseEvent *event);
    void handleMouseRelease(QMouseEvent *event);
    void handleWheel(QWheelEvent *event);
    void runInput(InputAction action);

    // Full screen (Max1) and its window's end.
    // Max1 from keys, gestures and the command line (flips the check mark);
    // fullScreenChanged follows the check mark as a menu click leaves it.
    void toggleFullScreen();
    void fullScreenChanged();
    void fullScreenClosed();
    // Files dropped on the full-screen window.
    void dropOnFullScreen(const QStringList &paths);
    void slideshowToggle();
    void slideshowChanged();

signals:
    // Emitted after a picture is painted on screen (benchmarks listen).
    void pictureShown();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void createWidgets();
    void createActions();
    void createMenus();
    void connectActions();
    void FormShow();
    void RestoreWindow();
    void applyStoredGeometry();
    void correctFrameGeometry();
    void FitToDesktop();
    void FormResize();
    void applyCommandLine(const QStringList &args);
    void openPictureFiles();
    void openFolder();
    void menuSort(int order);
    void slideshowStep();
    void MaxNormal();
    void showHelp();
    void showAbout();
    void refreshHistoryMenu();
    void readHistoryEntry(int tag);
    void clearHistory();
    void toggleFileNameLabel();

    DisplaySurface mainSurface();
    DisplaySurface currentSurface();
    LoadOptions slotLoadOptions();
    bool loadSlot(const QString &path, PictureData &picture);
    void prefetchAround();
    void showErrorLabel(int slot);
    void hideErrorLabels();

    ViewerState state_;
    PictureFormats formats_;
    std::unique_ptr<QtPrompter> qtPrompter_;
    Prompter *prompter_ = nullptr;
    std::unique_ptr<ListOps> listOps_;
    std::unique_ptr<History> history_;
    std::unique_ptr<PluginHost> plugins_;
    TempFolder temp_;
    PictureCache cache_;
    std::array<PictureData, 2> Pictures;

    std::array<QAction *, size_t(ActionId::Count)> actions_{};
    HistoryMenu *historyMenu_ = nullptr;
    QWidget *canvas_ = nullptr;
    std::array<PictureView *, 2> Image{};
    std::array<QLabel *, 2> errChr{};
    QLabel *Panel1 = nullptr;
    QLabel *status_ = nullptr;
    SlideshowTimer *Timer1 = nullptr;
    FullScreenWindow *fMax_ = nullptr;

    ClickTracker clicks_;
    WheelStepper wheel_;
    bool activationArmed_ = true;
    quint64 busyUntil_ = 0; // event time until which the last key step kept us busy
    bool maximizedAtStart_ = false;
    bool closing_ = false;
    bool geometryRestored_ = false; // the stored geometry was applied
    bool frameCorrected_ = false;   // the window frame was taken into account
};
