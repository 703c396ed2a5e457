#include "app/ui/MainWindow.h"

#include "app/CommandLine.h"
#include "app/Slideshow.h"
#include "app/ui/FullScreenWindow.h"
#include "app/ui/GestureFilter.h"
#include "app/ui/PictureView.h"
#include "app/ui/QtPrompter.h"
#include "decode/spi/PluginHost.h"
#include "decode/ui/OpenPictureDialog.h"
#include "extras/ui/AboutBox.h"
#include "extras/ui/HelpViewer.h"
#include "extras/ui/MsgDialog.h"
#include "lists/History.h"
#include "lists/ListFile.h"
#include "lists/ui/HistoryMenu.h"
#include "platform/AppPaths.h"
#include "platform/FileTree.h"
#include "settings/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>

namespace
{
constexpr int kInitialClientWidth = 620;
constexpr int kInitialClientHeight = 463;
} // namespace

MainWindow::MainWindow(const QStringList &args, Prompter *prompter, QWidget *parent)
    : QMainWindow(parent), history_(std::make_unique<History>(AppPaths::applicationFolder())),
      cache_(32ll << 20, 8)
{
    // FormCreate, in its order.
    state_.QuitRequested = false;
    state_.ComMax = false;
    state_.AutoRotate = true;
    state_.FirstFlag = true;
    state_.settings.Option.SeqDigits = 2;
    activationArmed_ = true;

    setObjectName(QStringLiteral("fMain"));
    setWindowTitle(kIdleCaption);
    move(0, 0);
    resize(kInitialClientWidth, kInitialClientHeight);
    createWidgets();
    qtPrompter_ = std::make_unique<QtPrompter>(this, status_);
    qtPrompter_->setNoticeHandler([this](const QString &text) { TfMsgDialog::showNotice(this, text); });
    prompter_ = prompter ? prompter : qtPrompter_.get();
    listOps_ = std::make_unique<ListOps>(state_, *prompter_, *this);

    // Settings; the defaults for the window are its initial geometry.
    const QRect frame = frameGeometry();
    const WindowGeometry defaults{frame.left(), frame.top(), frame.width(), frame.height()};
    maximizedAtStart_ =
        SettingsStore(AppPaths::settingsPath()).load(state_.settings, defaults, state_.RepeatMode);
    if (maximizedAtStart_)
        setWindowState(windowState() | Qt::WindowMaximized);
    if (state_.settings.fnLabel.flag == 0)
        state_.settings.Window.FileNameShown = false;

    createActions();
    createMenus();
    connectActions();

    state_.ListActive = false;
    state_.ShortcutRun = false;
    action(ActionId::slideshow1)->setEnabled(false);
    action(ActionId::MoveUndo1)->setEnabled(false);
    action(ActionId::CopyMode1)->setChecked(state_.settings.Option.Copy);
    action(ActionId::MoveMode1)->setChecked(!state_.settings.Option.Copy);

    state_.list.setSorted(true);
    refreshHistoryMenu();
    // Copying to the clipboard arrives with drag and drop; until then it stays disabled.
    if (!action(ActionId::clipcopy1)->property("later").toBool())
        action(ActionId::clipcopy1)->setEnabled(state_.settings.Tool.State == 0);

    plugins_ = std::make_unique<PluginHost>(*prompter_, formats_);
    plugins_->searchAtStartup(state_.settings.SusieDir);
    state_.PictureFilter = formats_.filter();

    QString tempError;
    if (temp_.setUp(&tempError))
        state_.TempFolder = temp_.path();
    else
        prompter_->error(tempError);

    // Measure the display before the command line adds pictures, so the
    // first picture is decoded once, at the size it will be shown.
    if (!(windowState() & Qt::WindowMaximized))
        applyStoredGeometry();
    if (layout())
        layout()->activate();
    ComputeArea(state_.settings.Tool.State != 0);

    applyCommandLine(args);

    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
        if (s == Qt::ApplicationActive && activationArmed_ && !closing_)
            Picture();
    });
}

MainWindow::~MainWindow() = default;

Prompter &MainWindow::prompter()
{
    return *prompter_;
}

void MainWindow::createWidgets()
{
    canvas_ = new QWidget(this);
    canvas_->setObjectName(QStringLiteral("canvas"));
    setCentralWidget(canvas_);
    for (int i = 0; i < 2; ++i) {
        Image[i] = new PictureView(canvas_);
        Image[i]->setObjectName(QStringLiteral("Image%1").arg(i + 1));
        Image[i]->setGeometry(0, 0, 0, 0);
        errChr[i] = new QLabel(QStringLiteral("表示不可"), canvas_);
        errChr[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        QFont f(QStringLiteral("メイリオ"));
        f.setPixelSize(16);
        errChr[i]->setFont(f);
        errChr[i]->setStyleSheet(QStringLiteral("color: red; background: transparent;"));
        errChr[i]->adjustSize();
        errChr[i]->hide();
    }
    Panel1 = new QLabel(canvas_);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(1);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setAutoFillBackground(true);
    Panel1->hide();

    status_ = new QLabel(QStringLiteral("SlideShow OFF"));
    status_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(status_, 1);
    statusBar()->setSizeGripEnabled(true);
    // Clicks on the status bar and on the labels over the pictures are theirs,
    // not the window's (they do not step).
    statusBar()->setAttribute(Qt::WA_NoMousePropagation);
    Panel1->setAttribute(Qt::WA_NoMousePropagation);
    for (QLabel *label : errChr)
        label->setAttribute(Qt::WA_NoMousePropagation);

    auto run = [this](InputCommand c) {
        runInput({c, -1});
        if (state_.QuitRequested)
            close();
    };
    (new GestureFilter(true, run, this))->watch(this);
    auto *pictures = new GestureFilter(false, run, this);
    for (PictureView *v : Image)
        pictures->watch(v);

    Timer1 = new SlideshowTimer(this);
    connect(Timer1, &SlideshowTimer::step, this, &MainWindow::slideshowStep);
}

void MainWindow::createActions()
{
    for (const ActionSpec &spec : allActions()) {
        auto *a = new QAction(spec.menuCaption, this);
        a->setObjectName(QString::fromLatin1(spec.name));
        a->setIconText(spec.caption);
        a->setCheckable(spec.checkable);
        if (!spec.shortcut.isEmpty()) {
            a->setShortcut(QKeySequence(spec.shortcut, QKeySequence::PortableText));
            // Shortcuts also work while the full-screen window has the focus.
            a->setShortcutContext(Qt::ApplicationShortcut);
        }
        if (!spec.hint.isEmpty())
            a->setToolTip(spec.hint);
        a->setData(spec.tag);
        a->setProperty("category", spec.category);
        addAction(a);
        actions_[size_t(spec.id)] = a;
    }
    // Parts of the program that are not there yet stay visible but disabled.
    for (ActionId id :
         {ActionId::option1, ActionId::ShortcutCreate, ActionId::fNameChange1, ActionId::clipcopy1,
          ActionId::ToolBox1, ActionId::CopyMode1, ActionId::MoveMode1, ActionId::Transfer1})
        action(id)->setProperty("later", true);
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
                    connect(historyMenu_, &HistoryMenu::entryChosen, this, &MainWindow::readHistoryEntry);
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
                break;
            }
        }
    }
}

void MainWindow::connectActions()
{
    connect(action(ActionId::fileopen1), &QAction::triggered, this, &MainWindow::openPictureFiles);
    connect(action(ActionId::OpenFolder1), &QAction::triggered, this, &MainWindow::openFolder);
    // A menu click has already flipped the check mark.
    connect(action(ActionId::slideshow1), &QAction::triggered, this, &MainWindow::slideshowChanged);
    connect(action(ActionId::ListDel1), &QAction::triggered, this, &MainWindow::clearHistory);
    connect(action(ActionId::exit1), &QAction::triggered, this, &MainWindow::close);
    connect(action(ActionId::Max1), &QAction::triggered, this, &MainWindow::fullScreenChanged);
    connect(action(ActionId::FileNameVisible1), &QAction::triggered, this, &MainWindow::toggleFileNameLabel);
    for (ActionId id :
         {ActionId::menu_random, ActionId::menu_normal, ActionId::menu_reverse, ActionId::Action1})
        connect(action(id), &QAction::triggered, this, [this, id] { menuSort(actionSpec(id).tag); });
    connect(action(ActionId::Help1), &QAction::triggered, this, &MainWindow::showHelp);
    connect(action(ActionId::about1), &QAction::triggered, this, &MainWindow::showAbout);
    for (QAction *a : actions_)
        if (a->property("later").toBool())
            a->setEnabled(false);
}

void MainWindow::applyCommandLine(const QStringList &args)
{
    CommandLineEnvironment env;
    env.onStep = [this](const CommandLineStep &step) {
        switch (step.kind) {
        case CommandLineStep::Kind::AddPath:
            listOps_->rFileName(step.path);
            break;
        case CommandLineStep::Kind::ToggleSlideshow:
            slideshowToggle();
            break;
        case CommandLineStep::Kind::ToggleFullScreen:
            toggleFullScreen();
            break;
        }
    };
    ApplyCommandLine(args, state_, env);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (state_.FirstFlag)
        FormShow();
}

void MainWindow::runFirstShow()
{
    if (state_.FirstFlag)
        FormShow();
}

void MainWindow::FormShow()
{
    // Measure the display first so that the first picture is decoded and
    // laid out once, at the size it is shown.
    if (!state_.ComMax && !fMax_)
        applyStoredGeometry();
    ComputeArea(state_.settings.Tool.State != 0);
    state_.list.setSorted(false);
    state_.SortOrder = 2;
    listOps_->SortList(state_.SortOrder);
    setAcceptDrops(true);
    if (state_.ShortcutRun)
        listOps_->ActivateList();
    if (!state_.ComMax) {
        if (!fMax_)
            RestoreWindow();
        ComputeArea(state_.settings.Tool.State != 0);
        ApplyLabelFont(Panel1);
        refreshHistoryMenu();
    }
    state_.FirstFlag = false;
    Panel1->hide();
    // ComputeArea emptied the slots; show the current picture again (from the cache).
    if (state_.ListActive && !state_.ComMax)
        Picture();
    // Neighbours are decoded once the first picture is on screen, so they do
    // not compete with it for the processor.
    QTimer::singleShot(200, this, [this] {
        if (state_.ListActive)
            prefetchAround();
    });
}

void MainWindow::RestoreWindow()
{
    listOps_->ActivateList();
    applyStoredGeometry();
    // The tool box arrives with the file-operation tools.
}

void MainWindow::applyStoredGeometry()
{
    if (!(windowState() & Qt::WindowMaximized)) {
        geometryRestored_ = true;
        const auto &w = state_.settings.Window;
        // Stored left, top, width and height are the outer geometry.
        const QRect frame = frameGeometry();
        const QRect inner = geometry();
        const int extraW = frame.width() - inner.width();
        const int extraH = frame.height() - inner.height();
        move(w.Left, w.Top);
        resize(qMax(1, w.Width - extraW), qMax(1, w.Height - extraH));
    }
    FitToDesktop();
}

void MainWindow::FitToDesktop()
{
    QRect desk;
    for (QScreen *s : QGuiApplication::screens())
        desk = desk.united(s->geometry());
    if (desk.isEmpty())
        return;
    const QRect frame = frameGeometry();
    const int extraW = frame.width() - width();
    const int extraH = frame.height() - height();
    int W = frame.width(), H = frame.height();
    int left = frame.left(), top = frame.top();
    if (desk.width() < W) {
        W = desk.width();
        resize(W - extraW, height());
    }
    if (desk.height() < H) {
        H = desk.height();
        resize(width(), H - extraH);
    }
    const int right = desk.left() + desk.width();
    const int bottom = desk.top() + desk.height();
    if (right < left + W)
        left = right - W;
    if (bottom < top + H)
        top = bottom - H;
    if (left < desk.left())
        left = desk.left();
    if (top < desk.top())
        top = desk.top();
    if (left != frame.left() || top != frame.top())
        move(left, top);
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
    if (frameCorrected_ || state_.FirstFlag || !isVisible() || (windowState() & Qt::WindowMaximized) ||
        !windowHandle() || windowHandle()->frameMargins().isNull())
        return;
    frameCorrected_ = true;
    if (!geometryRestored_)
        return;
    const auto &w = state_.settings.Window;
    const QMargins m = windowHandle()->frameMargins();
    resize(qMax(1, w.Width - m.left() - m.right()), qMax(1, w.Height - m.top() - m.bottom()));
    move(w.Left, w.Top);
    FitToDesktop();
}

void MainWindow::FormResize()
{
    if (state_.FirstFlag && !isVisible())
        return;
    ComputeArea(state_.settings.Tool.State != 0);
    if (state_.ListActive)
        Picture();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (closing_) {
        event->accept();
        return;
    }
    closing_ = true;
    // FormCloseQuery
    activationArmed_ = false;
    state_.ListActive = false;
    state_.settings.Tool.Show = false; // the tool box is not open
    Timer1->stop();
    cache_.clear();
    temp_.remove();
    if (!state_.ShortcutRun) {
        const QRect frame = frameGeometry();
        WindowShowState ws = WindowShowState::Normal;
        if (isMaximized() || isFullScreen())
            ws = WindowShowState::Maximized;
        else if (isMinimized())
            ws = WindowShowState::Minimized;
        SettingsStore(AppPaths::settingsPath())
            .save(state_.settings, WindowGeometry{frame.left(), frame.top(), frame.width(), frame.height()},
                  ws);
    }
    if (fMax_) {
        FullScreenWindow *w = fMax_;
        fMax_ = nullptr;
        w->close();
    }
    Pictures[0].clear();
    Pictures[1].clear();
    event->accept();
    QApplication::quit();
}

void MainWindow::openPictureFiles()
{
    OpenPictureDialog dialog(formats_, state_.PictureFilter, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QStringList files = dialog.selectedFiles();
    action(ActionId::slideshow1)->setEnabled(true);
    listOps_->openFiles(files);
}

void MainWindow::openFolder()
{
    QString start = state_.settings.Window.LastDir;
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start.clear();
    const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("フォルダを開く"), start);
    if (dir.isEmpty())
        listOps_->openFolder(std::nullopt);
    else
        listOps_->openFolder(dir);
}

void MainWindow::menuSort(int order)
{
    if (toolBoxSort(order))
        return;
    listOps_->menuSort(order);
}

void MainWindow::RecordHistory(int, const QStringList &list)
{
    history_->RecordHistory(list);
}

bool MainWindow::ReadListFile(const QString &path)
{
    return ::ReadListFile(path, state_.list, *prompter_);
}

void MainWindow::listStateChanged()
{
    action(ActionId::MoveUndo1)->setEnabled(false);
    action(ActionId::slideshow1)->setEnabled(state_.ListActive);
    MenuCheck(state_.ListActive);
    refreshHistoryMenu();
}

void MainWindow::refreshHistoryMenu()
{
    historyMenu_->apply(history_->ListCheck(state_.settings));
}

void MainWindow::readHistoryEntry(int tag)
{
    switch (history_->readEntry(tag, state_.settings, state_.list, state_.ShortcutRun, *prompter_)) {
    case History::ReadResult::Vanished:
        refreshHistoryMenu();
        return;
    case History::ReadResult::Loaded:
    case History::ReadResult::NoPicture:
        listOps_->ActivateList();
        Picture();
        return;
    }
}

void MainWindow::clearHistory()
{
    if (history_->clear(state_.settings, *prompter_))
        refreshHistoryMenu();
}

void MainWindow::showHelp()
{
    TfHelpViewer::open(this, state_.settings.Help);
}

void MainWindow::showAbout()
{
    TfAbout::showAbout(this);
}
