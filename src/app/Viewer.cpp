#include "app/Viewer.h"

#include "app/CommandLine.h"
#include "app/FramePlan.h"
#include "common/Layout.h"
#include "app/Navigation.h"
#include "app/Slideshow.h"
#include "common/Prompter.h"
#include "decode/EarlyPicture.h"
#include "decode/spi/PluginHost.h"
#include "lists/History.h"
#include "lists/ListFile.h"
#include "platform/AppPaths.h"
#include "platform/FileOps.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QtMath>
#include <utility>

namespace
{
const QString kNoPicture = QStringLiteral("表示する画像はありません。");
} // namespace

ViewerFolders ResolveViewerFolders()
{
    return ViewerFolders{AppPaths::applicationFolder(), AppPaths::settingsPath(),
                         AppPaths::dataFolders(QCoreApplication::applicationDirPath(), QStringLiteral(GD_DATA_DIR)),
                         AppPaths::pluginFolder()};
}

Viewer::Viewer(const ViewerFolders &folders, Prompter &prompter, ViewerHost &host, QObject *parent)
    : QObject(parent), folders_(folders), prompter_(prompter), host_(host),
      history_(std::make_unique<History>(folders.application)), cache_(32ll << 20, 8),
      ruleFile_(folders.application, folders.shippedData)
{
    // FormCreate, in its order.
    state_.QuitRequested = false;
    state_.ComMax = false;
    state_.AutoRotate = true;
    state_.FirstFlag = true;
    state_.settings.Option.SeqDigits = 2;
    listOps_ = std::make_unique<ListOps>(state_, prompter_, *this);
    transfer_ = std::make_unique<Transfer>(state_.list, state_.PictureIndex, state_.settings, prompter_,
                                           systemFileOps(), static_cast<TransferHooks &>(*this));
    timer_ = new SlideshowTimer(this);
    connect(timer_, &SlideshowTimer::step, this, &Viewer::slideshowStep);
    buildCommands();
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
            if (s == Qt::ApplicationActive && activationArmed_ && !closing_)
                Picture();
        });
}

Viewer::~Viewer() = default;

bool Viewer::loadSettings(const WindowGeometry &windowDefaults)
{
    const bool maximized =
        SettingsStore(folders_.settingsFile).load(state_.settings, windowDefaults, state_.RepeatMode);
    if (state_.settings.fnLabel.flag == 0)
        state_.settings.Window.FileNameShown = false;
    return maximized;
}

void Viewer::startUp()
{
    state_.ListActive = false;
    state_.ShortcutRun = false;
    state_.list.setSorted(true);
    refreshHistory();
    formats_.addQtFormats();
    // A relative plug-in folder in the settings means one in the application folder.
    plugins_ = std::make_unique<PluginHost>(prompter_, formats_, folders_.application);
    plugins_->searchAtStartup(state_.settings.SusieDir, folders_.plugins);
    state_.PictureFilter = formats_.filter();
    apps_ = ReadAppEntries(state_.settings.AppList);
    host_.appsChanged();
    ruleFile_.load();
    const DcimParseResult parsed = DcimRulesParse(ruleFile_.lines());
    rules_ = parsed.rules;
    if (parsed.badLine > 0)
        prompter_.error(parsed.error);
    QString tempError;
    if (temp_.setUp(&tempError))
        state_.TempFolder = temp_.path();
    else
        prompter_.error(tempError);
    host_.commandsChanged();
}

void Viewer::applyCommandLine(const QStringList &args)
{
    DisplayBatch batch(*this);
    CommandLineEnvironment env;
    env.onStep = [this](const CommandLineStep &step) {
        switch (step.kind) {
        case CommandLineStep::Kind::AddPath:
            // Archives can take long to extract: they follow once the
            // window has painted, behind a progress window.
            if (ListOps::isArchivePath(step.path) && !state_.ComMax)
                deferredArchives_ << step.path;
            else
                listOps_->rFileName(step.path);
            break;
        case CommandLineStep::Kind::ToggleSlideshow:
            toggleSlideshow();
            break;
        case CommandLineStep::Kind::ToggleFullScreen:
            toggleFullScreen();
            break;
        }
    };
    ApplyCommandLine(args, state_, env);
}

void Viewer::firstShow(const std::function<void()> &restore)
{
    {
        DisplayBatch batch(*this);
        ComputeArea();
        state_.list.setSorted(false);
        state_.SortOrder = PlayOrder::Name;
        listOps_->SortList(state_.SortOrder);
        if (state_.ShortcutRun)
            listOps_->ActivateList();
        if (!state_.ComMax) {
            if (target_ == mainTarget_) {
                listOps_->ActivateList();
                restore();
            }
            ComputeArea();
            refreshHistory();
        }
        state_.FirstFlag = false;
        transfer_->clearUndo();
        ReturnCheck(false);
    }
    if (!deferredArchives_.isEmpty())
        QTimer::singleShot(0, this, [this] { addDeferredArchives(); });
    // Neighbours are decoded once the first picture is on screen, so they do
    // not compete with it for the processor (pictureOnScreen); a start whose
    // first picture never paints gets them a little later.
    QTimer::singleShot(200, this, &Viewer::afterFirstPicture);
}

void Viewer::pictureOnScreen()
{
    if (neighboursAllowed_ || state_.FirstFlag || firstPaintSeen_)
        return;
    firstPaintSeen_ = true;
    // Queued: runs once the paint under way has been put on screen.
    QTimer::singleShot(0, this, &Viewer::afterFirstPicture);
}

void Viewer::afterFirstPicture()
{
    if (neighboursAllowed_)
        return; // already done, by the first paint or by the timer
    // A slow first picture still decoding early: wait for it rather than
    // decode it a second time.
    if (EarlyPicture::working()) {
        QTimer::singleShot(100, this, &Viewer::afterFirstPicture);
        return;
    }
    EarlyPicture::release(); // a first picture decoded early and not shown after all
    neighboursAllowed_ = true;
    writePendingHistory();
    if (state_.ListActive)
        prefetchAround();
}

void Viewer::addDeferredArchives()
{
    const QStringList archives = std::exchange(deferredArchives_, {});
    if (closing_)
        return;
    DisplayBatch batch(*this);
    state_.list.setSorted(true);
    for (const QString &a : archives)
        listOps_->rFileName(a);
    state_.list.setSorted(false);
    listOps_->SortList(state_.SortOrder);
    listOps_->ActivateList();
    Picture();
}

void Viewer::closeDown(const WindowGeometry &geometry, WindowShowState showState)
{
    closing_ = true;
    activationArmed_ = false;
    state_.ListActive = false;
    state_.settings.Tool.Show = toolBox_ != nullptr; // opened again at the next start
    timer_->stop();
    cache_.clear();
    temp_.remove();
    writePendingHistory();
    if (!state_.ShortcutRun)
        // The history count is taken again under the lock other instances share.
        SettingsStore(folders_.settingsFile).save(state_.settings, geometry, showState,
                                                  [this](Settings &s) { history_->ListCheck(s); });
}

// ---------------------------------------------------------------- display

void Viewer::setMainTarget(DisplayTarget *target)
{
    if (target_ == mainTarget_)
        target_ = target;
    mainTarget_ = target;
}

void Viewer::ComputeArea()
{
    if (state_.QuitRequested || !target_)
        return;
    const QSize area = layout::ComputeArea(state_.settings.Tool.State != 0, target_->surfaceSize());
    state_.AreaWidth = area.width();
    state_.AreaHeight = area.height();
    // The first picture, decoding since the program started, is shrunk to
    // this size on its own thread.
    if (state_.FirstFlag && target_ == mainTarget_)
        EarlyPicture::expect(slotLoadOptions());
}

LoadOptions Viewer::slotLoadOptions() const
{
    const qreal dpr = target_ ? target_->surfacePixelRatio() : 1.0;
    LoadOptions options;
    options.maxSize = QSize(qCeil(state_.AreaWidth * dpr), qCeil(state_.AreaHeight * dpr));
    options.autoRotate = state_.AutoRotate;
    return options;
}

LabelStyle Viewer::labelStyle() const
{
    return LabelStyle{state_.settings.fnLabel, state_.settings.Window.FileNameShown,
                      state_.settings.Tool.State == 0};
}

void Viewer::setFileOps(FileOps &ops)
{
    transfer_ = std::make_unique<Transfer>(state_.list, state_.PictureIndex, state_.settings, prompter_, ops,
                                           static_cast<TransferHooks &>(*this));
}

void Viewer::Picture()
{
    if (displaySuppressed_ > 0)
        return;
    if (batchDepth_ > 0) {
        displayPending_ = true;
        return;
    }
    if (state_.ComMax) {
        host_.hideWindow();
        listOps_->ActivateList();
        host_.restoreGeometry();
        if (!host_.windowVisible())
            state_.ComMax = false;
    }
    activationArmed_ = false;

    if (state_.list.isEmpty()) {
        refreshToolBox();
        if (state_.ListActive) {
            prompter_.beep();
            prompter_.error(kNoPicture);
            ImageCls();
        }
        return;
    }
    listOps_->NormalizeIndex();
    listOps_->PruneMissing();
    if (state_.list.isEmpty()) {
        // Every file of an active list vanished: say so once, then clear.
        if (state_.ListActive) {
            prompter_.beep();
            prompter_.error(kNoPicture);
        }
        ImageCls();
        return;
    }
    refreshToolBox(); // the slider follows the picture
    if (!target_)
        return;
    // The first picture may still be decoding on the thread that started
    // with the program: the window is shown meanwhile, the picture once ready.
    // Displays asked for meanwhile (command line, first show) wait for the
    // same call back.
    if (EarlyPicture::busy(state_.list.at(state_.PictureIndex))) {
        if (!earlyAwaited_) {
            earlyAwaited_ = true;
            EarlyPicture::whenReady([self = QPointer<Viewer>(this)] {
                if (!self)
                    return;
                self->earlyAwaited_ = false;
                self->Picture();
            });
        }
        return;
    }

    FrameRequest request;
    request.pages = state_.list.items();
    request.index = state_.PictureIndex;
    request.form = displayFormFrom(state_.settings.Tool.State);
    request.orient = state_.settings.Tool.Orient;
    request.zoom = state_.settings.Option.Zoom;
    request.area = QSize(state_.AreaWidth, state_.AreaHeight);
    const QSize err = target_->errorTextSize();
    request.errorFontPixelHeight = err.height();
    request.errorTextWidth = err.width();
    const LoadOptions options = slotLoadOptions();
    const Frame frame = PlanFrame(request, [&](const QString &path, PictureData &picture) {
        return cache_.get(path, options, picture);
    });
    host_.setCaption(frame.caption);
    if (frame.kind == Frame::Kind::Blank) {
        target_->blankFrame();
        if (target_ != mainTarget_)
            mainTarget_->blankFrame();
        prompter_.beep();
        return;
    }
    target_->paintFrame(frame, labelStyle());
    if (frame.anyShown())
        activationArmed_ = true;
    prefetchAround();
    emit pictureShown();
}

void Viewer::prefetchAround()
{
    const int count = state_.list.count();
    if (count < 2 || state_.FirstFlag || !neighboursAllowed_)
        return;
    const uint8_t form = state_.settings.Tool.State;
    QStringList paths;
    auto addPage = [&](int idx) {
        idx = NormalizeIndex(idx, count, form);
        const layout::SlotPlan plan = layout::PlanSlots(form, state_.settings.Tool.Orient, idx, count);
        for (int slot = 0; slot < 2; ++slot)
            if (plan.slotInUse(slot) && !paths.contains(state_.list.at(plan.page[slot])))
                paths << state_.list.at(plan.page[slot]);
    };
    // The next two pages and the previous one: a held key keeps both
    // decoding threads busy, and stepping back is still instant.
    const int next = StepIndex(state_.PictureIndex, true, form);
    addPage(next);
    addPage(StepIndex(NormalizeIndex(next, count, form), true, form));
    addPage(StepIndex(state_.PictureIndex, false, form));
    cache_.prefetch(paths, slotLoadOptions());
}

void Viewer::setRuleLines(const QStringList &lines)
{
    const DcimParseResult parsed = DcimRulesParse(lines);
    rules_ = parsed.rules;
    if (parsed.badLine > 0)
        prompter_.error(parsed.error);
    ruleFile_.save(lines);
}

void Viewer::showFileName(const QString &name)
{
    if (target_)
        target_->showName(name, labelStyle());
}

void Viewer::ImageCls()
{
    state_.ListActive = false;
    if (mainTarget_)
        mainTarget_->clearFrame();
    if (target_ && target_ != mainTarget_)
        target_->clearFrame();
    host_.setCaption(kIdleCaption);
    MenuCheck(false);
    host_.commandsChanged();
}

void Viewer::ApplyDisplayMode()
{
    // A running slideshow keeps the file operations off.
    EnableFileOps(state_.settings.Tool.State == 0 && !isSlideshowOn());
    ComputeArea();
    Picture();
}

void Viewer::ApplySettings()
{
    if (timer_->isOn()) {
        const auto &opt = state_.settings.Option;
        timer_->start(SlideshowInterval(opt.Interval, opt.IntervalM));
        prompter_.setStatusText(SlideshowOnText(opt.Interval, opt.IntervalM));
    }
    if (state_.settings.fnLabel.flag == 0)
        state_.settings.Window.FileNameShown = false;
    for (DisplayTarget *t : {mainTarget_, target_})
        if (t)
            t->updateLabel(labelStyle());
    host_.commandsChanged();
    if (state_.ListActive) {
        ApplyDisplayMode();
    } else {
        EnableFileOps(state_.settings.Tool.State == 0 && !isSlideshowOn());
        ComputeArea();
    }
}

void Viewer::applyOptions(const OptionResult &changes)
{
    apps_ = ReadAppEntries(state_.settings.AppList);
    host_.appsChanged();
    // The folder's contents may have changed even when its name did not.
    if (!state_.settings.SusieDir.isEmpty())
        plugins_->search(state_.settings.SusieDir);
    state_.PictureFilter = formats_.filter();
    if (changes.rulesChanged)
        setRuleLines(changes.ruleLines);
    refreshToolBox();
    ApplySettings();
}

void Viewer::toggleFileNameLabel()
{
    if (state_.settings.fnLabel.flag == 0)
        return;
    state_.settings.Window.FileNameShown = !state_.settings.Window.FileNameShown;
    for (DisplayTarget *t : {mainTarget_, target_})
        if (t)
            t->updateLabel(labelStyle());
    host_.commandsChanged();
}

void Viewer::MenuCheck(bool flag)
{
    pictureActions_ = flag;
    host_.commandsChanged();
}

void Viewer::EnableFileOps(bool on)
{
    fileOpsEnabled_ = on;
    if (!state_.list.isEmpty())
        MenuCheck(on);
    // The open tool box shuts its transfer area when transfers stop.
    if (!on && toolBox_)
        state_.settings.Option.Open = false;
    host_.commandsChanged();
}

void Viewer::applyOrder()
{
    // The order is applied to the whole list; the caller shows afterwards.
    ++displaySuppressed_;
    listOps_->SortList(state_.SortOrder);
    --displaySuppressed_;
}

void Viewer::ReturnCheck(bool undoAvailable)
{
    undoReady_ = undoAvailable;
    host_.commandsChanged();
}

void Viewer::openFiles(const QStringList &files)
{
    DisplayBatch batch(*this);
    listOps_->openFiles(files);
}

void Viewer::openFolder(const std::optional<QString> &folder)
{
    DisplayBatch batch(*this);
    listOps_->openFolder(folder);
}

// ---------------------------------------------------------------- list hooks

void Viewer::RecordHistory(int, const QStringList &list)
{
    // Writing the history waits for the disk; at start-up the first picture
    // goes on screen first.
    if (!neighboursAllowed_) {
        if (pendingHistory_.isEmpty() || pendingHistory_.constLast() != list)
            pendingHistory_.append(list);
        return;
    }
    writePendingHistory();
    history_->RecordHistory(list);
}

void Viewer::writePendingHistory()
{
    if (pendingHistory_.isEmpty())
        return;
    for (const QStringList &list : std::exchange(pendingHistory_, {}))
        history_->RecordHistory(list);
    refreshHistory();
}

bool Viewer::ReadListFile(const QString &path)
{
    return ::ReadListFile(path, state_.list, prompter_);
}

void Viewer::listStateChanged()
{
    // What could be undone belongs to the list that was replaced.
    if (transfer_) {
        transfer_->clearUndo();
        ReturnCheck(false);
    }
    MenuCheck(state_.ListActive);
    refreshHistory();
}

void Viewer::refreshHistory()
{
    host_.historyChanged(history_->ListCheck(state_.settings));
    host_.commandsChanged();
}

void Viewer::readHistoryEntry(int tag)
{
    DisplayBatch batch(*this);
    switch (history_->readEntry(tag, state_.settings, state_.list, state_.ShortcutRun, prompter_)) {
    case History::ReadResult::Vanished:
        refreshHistory();
        return;
    case History::ReadResult::Loaded:
    case History::ReadResult::NoPicture:
        listOps_->ActivateList();
        Picture();
        return;
    }
}

void Viewer::clearHistory()
{
    if (history_->clear(state_.settings, prompter_))
        refreshHistory();
}
