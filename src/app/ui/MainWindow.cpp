#include "app/ui/MainWindow.h"

#include "app/ui/DisplaySurface.h"
#include "app/ui/FullScreenWindow.h"
#include "app/ui/KeyRouter.h"
#include "app/ui/MainDialogs.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/ToolBoxLink.h"
#include "app/ui/WindowFrame.h"
#include "common/ui/FitToDesktop.h"
#include "common/ui/MsgDialog.h"
#include "desktop/FileMime.h"
#include "desktop/ui/AppMenus.h"
#include "fileops/SortTally.h"
#include "fileops/ui/ToolBox.h"
#include "lists/ui/HistoryMenu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QWindow>

namespace
{
constexpr int kInitialClientWidth = 620;
constexpr int kInitialClientHeight = 463;
} // namespace

MainWindow::MainWindow(const QStringList &args, Prompter *prompter, QWidget *parent, const ViewerFolders &folders)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fMain"));
    setWindowTitle(kIdleCaption);
    resize(kInitialClientWidth, kInitialClientHeight);
    // The first start (no settings yet) opens in the middle of the screen;
    // these are the defaults the settings take.
    const bool firstStart = !QFileInfo::exists(folders.settingsFile);
    QRect initial(QPoint(0, 0), size());
    if (const QScreen *sc = QGuiApplication::primaryScreen(); sc && firstStart)
        initial.moveCenter(sc->availableGeometry().center());
    move(initial.topLeft());
    RequestFrameMargins(this); // answered while the rest is built
    status_ = new QLabel(QStringLiteral("SlideShow OFF"));
    qtPrompter_ = std::make_unique<QtPrompter>(this, status_);
    qtPrompter_->setNoticeHandler([this](const QString &text) {
        TfMsgDialog::showNotice(fMax_ ? static_cast<QWidget *>(fMax_) : this, text);
    });
    prompter_ = prompter ? prompter : qtPrompter_.get();
    appFolder_ = folders.application;
    viewer_ = std::make_unique<Viewer>(folders, *prompter_, *this);
    connect(viewer_.get(), &Viewer::pictureShown, this, &MainWindow::pictureShown);
    qtPrompter_->setSameDialogContext(&viewer_->state().settings, [this] { return viewer_->state().AutoRotate; });
    createWidgets();

    // Settings; the defaults for the window are its initial geometry.
    const QRect frame = frameGeometry();
    if (viewer_->settings().load(WindowGeometry{frame.left(), frame.top(), frame.width(), frame.height()}))
        setWindowState(windowState() | Qt::WindowMaximized);

    createActions();
    createMenus();
    PopupActionBar1 = new QMenu(this);
    PopupActionBar1->setObjectName(QStringLiteral("PopupActionBar1"));
    appMenus_ = new AppMenus(toolsMenu_ ? toolsMenu_ : menuBar()->addMenu(QString()), PopupActionBar1, this);
    connect(appMenus_, &AppMenus::launchRequested, this, [this](int index) {
        viewer_->apps().run(index, viewer_->state(), *prompter_);
        refocus();
    });
    addWindowCommands();
    keys_ = new KeyRouter(*viewer_, this);
    keys_->addWindow(this);
    toolBox_ = std::make_unique<ToolBoxLink>(*this, *viewer_, *prompter_, *keys_, [this] { refocus(); });
    viewer_->commands().setRun(ActionId::ToolBox1, [this] { toolBox_->ToolBox1Execute(); });

    // Measure the display before the command line adds pictures, so the
    // first picture is decoded once, at the size it will be shown (and the
    // one decoding since the start is shrunk meanwhile).
    if (!(windowState() & Qt::WindowMaximized))
        applyStoredGeometry();
    firstStart_ = firstStart;
    if (layout())
        layout()->activate();
    viewer_->startUp().startServices();
    viewer_->startUp().applyCommandLine(args);
    // Focus comes back to the pictures whenever a dialog or menu closes.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (!now && isActiveWindow())
            refocus();
    });
}

MainWindow::~MainWindow()
{
    toolBox_.reset();
    if (fMax_) {
        FullScreenWindow *w = fMax_;
        fMax_ = nullptr;
        delete w;
    }
}

void MainWindow::createWidgets()
{
    surface_ = new DisplaySurface(*viewer_, DisplaySurface::Kind::Window, this);
    setCentralWidget(surface_);
    surface_->enableDragOut([this](bool on) { setDropsAccepted(on); });
    viewer_->display().setMainTarget(surface_);
    status_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(status_, 1);
    place_ = new QLabel(this);
    place_->setObjectName(QStringLiteral("StatusBar2"));
    statusBar()->addPermanentWidget(place_);
    statusBar()->setSizeGripEnabled(true);
    // Clicks on the status bar are its own; they do not step.
    statusBar()->setAttribute(Qt::WA_NoMousePropagation);
}

void MainWindow::createActions()
{
    for (const ActionSpec &spec : allActions()) {
        auto *a = new QAction(spec.menuCaption, this);
        a->setObjectName(QString::fromLatin1(spec.name));
        a->setIconText(spec.caption);
        a->setCheckable(spec.checkable);
        if (!spec.shortcut.isEmpty()) {
            a->setShortcuts(QKeySequence::listFromString(spec.shortcut, QKeySequence::PortableText));
            // Shortcuts also work while the full-screen window has the focus.
            a->setShortcutContext(Qt::ApplicationShortcut);
        }
        if (!spec.hint.isEmpty())
            a->setToolTip(spec.hint);
        a->setData(spec.tag);
        a->setProperty("category", spec.category);
        addAction(a);
        actions_[size_t(spec.id)] = a;
        const ActionId id = spec.id;
        connect(a, &QAction::triggered, this, [this, id] {
            viewer_->commands().run(id);
            commandsChanged(); // a click flips a check mark; the state decides
            refocus();
        });
    }
}

void MainWindow::createMenus()
{
    for (const MenuSpec &menu : mainMenus()) {
        QMenu *m = menuBar()->addMenu(menu.caption);
        m->setToolTipsVisible(menu.caption == QStringLiteral("ヘルプ(&H)")); // the help action's hint
        QMenu *target = m;
        for (const MenuEntry &e : menu.entries) {
            switch (e.kind) {
            case MenuEntry::Action:
                if (e.action == ActionId::List1) {
                    QMenu *sub = target->addMenu(actionSpec(ActionId::List1).menuCaption);
                    sub->menuAction()->setObjectName(QStringLiteral("List1"));
                    // The submenu's own entry stands for List1 (its enabled state).
                    action(ActionId::List1)->setVisible(false);
                    historyMenu_ = new HistoryMenu(sub, sub->menuAction(), action(ActionId::ListDel1), this);
                    connect(historyMenu_, &HistoryMenu::entryChosen, this, [this](int tag) {
                        viewer_->history().read(tag);
                        refocus();
                    });
                    for (int k = 1; k <= 6; ++k) {
                        historyMenu_->action(k)->setShortcutContext(Qt::ApplicationShortcut);
                        addAction(historyMenu_->action(k));
                    }
                } else {
                    target->addAction(action(e.action));
                }
                break;
            case MenuEntry::Separator:
                target->addSeparator();
                break;
            case MenuEntry::SubmenuBegin:
                target = m->addMenu(e.caption);
                break;
            case MenuEntry::SubmenuEnd:
                target = m;
                break;
            case MenuEntry::AppEntries:
                toolsMenu_ = target;
                break;
            }
        }
    }
}

void MainWindow::addWindowCommands()
{
    CommandTable &c = viewer_->commands();
    c.setControl(ControlId::AcceptDrops, [this](const ControlArg &a) { setDropsAccepted(a.n != 0); });
    c.setRun(ActionId::exit1, [this] { close(); });
    dialogs_ = new MainDialogs({this, *viewer_, *prompter_, appFolder_,
                                [this] { return fMax_ ? fMax_->surface() : surface_; },
                                [this] { return toolBox_ ? toolBox_->window() : nullptr; }, [this] { refocus(); }});
    dialogs_->addCommands(c);
}

QMenu *MainWindow::renameModeMenu() const
{
    return dialogs_->renameModeMenu();
}

void MainWindow::commandsChanged()
{
    if (appMenus_)
        appMenus_->setEnabled(viewer_->pictureActionsOn());
    const CommandTable &c = viewer_->commands();
    for (const ActionSpec &spec : allActions()) {
        QAction *a = actions_[size_t(spec.id)];
        if (!a || spec.id == ActionId::List1 || spec.id == ActionId::ListDel1)
            continue; // the history menu keeps these in line with its entries
        a->setEnabled(c.isEnabled(spec.id));
        if (const QString text = c.caption(spec.id); !text.isEmpty())
            a->setText(text);
        a->setStatusTip(c.tip(spec.id));
        if (spec.checkable)
            a->setChecked(c.isChecked(spec.id));
    }
    if (toolBox_)
        toolBox_->stateChanged();
}

void MainWindow::appsChanged()
{
    if (appMenus_)
        appMenus_->rebuild(viewer_->apps().menuModel(viewer_->pictureActionsOn()));
}

void MainWindow::showAppMenu()
{
    QWidget *w = fMax_ ? static_cast<QWidget *>(fMax_) : this;
    appMenus_->popUpAtCentre(w);
}

void MainWindow::setCaption(const QString &caption)
{
    setWindowTitle(caption);
    const ViewerState &st = viewer_->state();
    place_->setText(SortPlaceText(st.PictureIndex, st.list.count(),
                                  viewer_->transfer().tally.summary(SlotFolders(st.settings))));
}

void MainWindow::setDropsAccepted(bool on)
{
    setAcceptDrops(on);
    if (fMax_)
        fMax_->setAcceptDrops(on);
    if (TToolBox *box = toolBox_ ? toolBox_->window() : nullptr)
        box->setAcceptDrops(on);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    // Dropped files are only read: the drop is a copy, so the source never
    // deletes them as it would after a move.
    if (AcceptsFileDrop(event->mimeData())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QStringList paths = DroppedPaths(event->mimeData());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    viewer_->open(viewer_->listOps().openDropped(paths));
    // The files came from another program: come to the front.
    raise();
    activateWindow();
}

void MainWindow::historyChanged(const QStringList &captions)
{
    if (historyMenu_)
        historyMenu_->apply(captions);
}

void MainWindow::refocus()
{
    // Keys reach the viewer through KeyRouter whatever has the focus; the
    // surface takes it so that no stale widget (a menu bar) keeps it.
    QWidget *w = fMax_ ? static_cast<QWidget *>(fMax_->surface()) : surface_;
    if (!w->isVisible() || QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return;
    // A closed dialog may leave no window active at all.
    if (!w->window()->isActiveWindow())
        w->window()->activateWindow();
    w->setFocus(Qt::OtherFocusReason);
}

// ---------------------------------------------------------------- full screen

DisplayTarget *MainWindow::setFullScreen(bool on)
{
    if (on) {
        if (!fMax_) {
            fMax_ = new FullScreenWindow(*viewer_);
            // The main window's shortcuts keep working while it is hidden.
            fMax_->addActions(actions());
            keys_->addWindow(fMax_);
            connect(fMax_, &FullScreenWindow::closedByUser, this, &MainWindow::onFullScreenClosedByUser);
            fMax_->surface()->enableDragOut([this](bool on) { setDropsAccepted(on); });
            fMax_->surface()->fileNameLabel()->setFont(surface_->fileNameLabel()->font());
            fMax_->open(frameGeometry().center());
            hide();
        }
        return fMax_->surface();
    }
    if (fMax_) {
        FullScreenWindow *w = fMax_;
        fMax_ = nullptr;
        w->closeQuietly();
        if (!closing_) {
            show();
            if (viewer_->state().FirstFlag)
                FormShow();
            refocus();
        }
    }
    return nullptr;
}

void MainWindow::onFullScreenClosedByUser()
{
    fMax_ = nullptr;
    viewer_->modes().fullScreenClosed([this] {
        show();
        if (viewer_->state().FirstFlag)
            FormShow();
        refocus();
    });
}

// ---------------------------------------------------------------- start and end

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!frameCorrected_ && windowHandle())
        WhenExposed(windowHandle(), this, [this] { correctFrameGeometry(); });
    if (viewer_->state().FirstFlag)
        FormShow();
}

void MainWindow::runFirstShow()
{
    if (viewer_->state().FirstFlag)
        FormShow();
}

void MainWindow::FormShow()
{
    // Measure the display first so that the first picture is decoded and
    // laid out once, at the size it is shown.
    if (!viewer_->state().ComMax && !fMax_)
        applyStoredGeometry();
    if (layout())
        layout()->activate();
    setAcceptDrops(true);
    viewer_->startUp().firstShow([this] {
        applyStoredGeometry();
        if (layout())
            layout()->activate();
    });
    std::optional<int> clearOfMenu;
    if (std::exchange(firstStart_, false))
        clearOfMenu = PlaceToolBoxBeside(*this, predictedFrame_, viewer_->state().settings);
    if (viewer_->state().settings.Tool.Show)
        toolBox_->open(clearOfMenu);
    refocus();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (closing_) {
        event->accept();
        return;
    }
    closing_ = true;
    const QRect frame = frameGeometry();
    WindowShowState ws = WindowShowState::Normal;
    if (isMaximized() || isFullScreen())
        ws = WindowShowState::Maximized;
    else if (isMinimized())
        ws = WindowShowState::Minimized;
    toolBox_->keepPosition();
    viewer_->closeDown(WindowGeometry{frame.left(), frame.top(), frame.width(), frame.height()}, ws);
    toolBox_->closeForExit();
    if (fMax_) {
        FullScreenWindow *w = fMax_;
        fMax_ = nullptr;
        w->closeQuietly();
    }
    event->accept();
    QApplication::quit();
}

// ---------------------------------------------------------------- geometry

void MainWindow::applyStoredGeometry()
{
    if (!(windowState() & Qt::WindowMaximized)) {
        geometryRestored_ = true;
        const auto &w = viewer_->state().settings.Window;
        // Stored left, top, width and height are the outer geometry.
        const QRect frame = frameGeometry();
        const QRect inner = geometry();
        int extraW = frame.width() - inner.width();
        int extraH = frame.height() - inner.height();
        QPoint clientOffset; // Qt places the client where it knows no frame
        if (extraW == 0 && extraH == 0) {
            // Not framed yet: with the frame known now, the window opens at
            // its final size and the first picture is laid out only once.
            if (!framePredicted_ && !isVisible()) {
                framePredicted_ = true;
                predictedFrame_ = PredictFrameMargins(this);
            }
            extraW = predictedFrame_.left() + predictedFrame_.right();
            extraH = predictedFrame_.top() + predictedFrame_.bottom();
            clientOffset = QPoint(predictedFrame_.left(), predictedFrame_.top());
        }
        move(QPoint(w.Left, w.Top) + clientOffset);
        resize(qMax(1, w.Width - extraW), qMax(1, w.Height - extraH));
    }
    ::FitToDesktop(*this);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    correctFrameGeometry();
    FormResize();
}

void MainWindow::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    correctFrameGeometry();
}

void MainWindow::correctFrameGeometry()
{
    // The stored geometry is the outer one, but before the window manager
    // has framed the window its frame is unknown and the stored size went to
    // the client area. Once the frame is known, take it off again, so the
    // window does not grow by its frame at every start.
    // Not before the window is on screen: a geometry asked for while the
    // window manager is still placing the window makes some managers place
    // it anew, in the corner of the screen.
    if (frameCorrected_ || viewer_->state().FirstFlag || !isVisible() || (windowState() & Qt::WindowMaximized) ||
        !windowHandle() || !windowHandle()->isExposed() || windowHandle()->frameMargins().isNull())
        return;
    frameCorrected_ = true;
    if (!geometryRestored_)
        return;
    const auto &w = viewer_->state().settings.Window;
    const QMargins m = windowHandle()->frameMargins();
    const QSize client(qMax(1, w.Width - m.left() - m.right()), qMax(1, w.Height - m.top() - m.bottom()));
    if (size() != client)
        resize(client);
    if (frameGeometry().topLeft() != QPoint(w.Left, w.Top))
        move(w.Left, w.Top);
    ::FitToDesktop(*this);
}

void MainWindow::FormResize()
{
    if (viewer_->state().FirstFlag && !isVisible())
        return;
    viewer_->display().ComputeArea();
    if (viewer_->state().ListActive)
        viewer_->Picture();
}
