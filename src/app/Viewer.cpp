#include "app/Viewer.h"

#include "app/CommandLine.h"
#include "app/FramePlan.h"
#include "app/Navigation.h"
#include "app/ViewerControls.h"
#include "common/Layout.h"
#include "common/Prompter.h"
#include "decode/spi/PluginHost.h"
#include "lists/History.h"
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
      journal_(folders.application)
{
    // FormCreate, in its order.
    state_.QuitRequested = false;
    state_.ComMax = false;
    state_.AutoRotate = true;
    state_.FirstFlag = true;
    state_.settings.Option.SeqDigits = 2;
    listOps_ = std::make_unique<ListOps>(state_, prompter_);
    setFileOps(systemFileOps());
    startUp_ = new ViewerStartUp(*this);
    modes_ = new ViewerModes(*this);
    buildCommands();
    ViewerControls::add(*this);
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState s) {
            // An archive's progress window coming and going is no return.
            if (s == Qt::ApplicationActive && activationArmed_ && !closing_ && !listOps_->extracting())
                Picture();
        });
}

Viewer::~Viewer() = default;

void Viewer::closeDown(const WindowGeometry &geometry, WindowShowState showState)
{
    closing_ = true;
    activationArmed_ = false;
    state_.ListActive = false;
    state_.settings.Tool.Show = toolBox_ != nullptr; // opened again at the next start
    modes_->stopTimer();
    display_.cache().clear();
    temp_.remove();
    history_.writeHeld();
    if (state_.ShortcutRun)
        return;
    settings_.save(geometry, showState);
}

// ---------------------------------------------------------------- display

void Viewer::setFileOps(FileOps &ops)
{
    journalOps_ = std::make_unique<JournalOps>(journal_, ops);
    transfer_ = std::make_unique<Transfer>(state_.list, state_.PictureIndex, state_.settings, prompter_,
                                           *journalOps_, static_cast<TransferHooks &>(*this));
}

bool Viewer::isPicture(const QString &path) const
{
    return formats_.isPictureFile(path);
}

void Viewer::stepsTaken(const QList<JournalStep> &steps)
{
    applyTransfer(transfer_->stepsTaken(steps));
    refresh();
}

void Viewer::Picture()
{
    pending_.paint = true;
    refresh();
}

void Viewer::refresh()
{
    if (std::exchange(pending_.clear, false))
        clearNow();
    if (std::exchange(pending_.paint, false))
        showNow();
    pending_.paint = false; // asked for while painting: this paint was it
    if (std::exchange(pending_.clear, false))
        clearNow();
    const Pending done = std::exchange(pending_, {});
    if (toolBox_ && done.toolBox)
        toolBox_->refresh();
    if (done.commands)
        host_.commandsChanged();
}

void Viewer::applyList(const ListChange &change)
{
    switch (change.kind) {
    case ListChange::Kind::Nothing:
        return;
    case ListChange::Kind::Replaced:
        pending_.toolBox = true;
        return;
    case ListChange::Kind::Reordered:
        pending_.paint = true;
        return;
    case ListChange::Kind::Activated:
        if (!state_.ListActive)
            ImageCls();
        else if (!state_.ShortcutRun)
            history_.record(state_.list.items());
        // Files that the old list gave away do not join this one on undo.
        transfer_->listReplaced();
        // Rename and the applications follow the list; so does the history menu.
        pending_.commands = true;
        history_.refreshMenu();
        pending_.toolBox = true;
        pending_.paint = true;
        return;
    }
}

void Viewer::applyTransfer(TransferResult result)
{
    pending_.commands = true; // the undo command follows the record
    if (result == TransferResult::Skipped)
        return;
    pending_.toolBox = true;
    if (result == TransferResult::Deleted && state_.list.isEmpty())
        ImageCls();
    else
        pending_.paint = true;
}

void Viewer::showNow()
{
    if (state_.ComMax) {
        host_.hideWindow();
        applyList(listOps_->ActivateList());
        host_.restoreGeometry();
        if (!host_.windowVisible())
            state_.ComMax = false;
    }
    activationArmed_ = false;

    pending_.toolBox = true; // the slider follows the picture
    if (state_.list.isEmpty()) {
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
    if (!display_.current())
        return;
    // The first picture may still be decoding on the thread that started
    // with the program: the window is shown meanwhile, the picture once ready.
    // Displays asked for meanwhile (command line, first show) wait for the
    // same call back.
    if (startUp_->awaitEarly(state_.list.at(state_.PictureIndex)))
        return;

    display_.noteDirection();
    // The pages ahead start decoding now, beside this one, and decodes the
    // user has skipped past stop before this one is decoded; not before the
    // first picture is out.
    if (startUp_->settled())
        display_.prefetchAround();
    const ViewerDisplay::Painted painted = display_.paint();
    host_.setCaption(painted.caption);
    if (painted.blank) {
        prompter_.beep();
        return;
    }
    if (painted.anyShown)
        activationArmed_ = true;
    emit pictureShown();
}

void Viewer::ImageCls()
{
    state_.ListActive = false;
    pending_.clear = true;
    pending_.commands = true;
}

void Viewer::clearNow()
{
    display_.clear();
    host_.setCaption(kIdleCaption);
    pending_.toolBox = true;
    pending_.commands = true;
}

void Viewer::fileOpsChanged()
{
    // The open tool box shuts its transfer area when transfers stop.
    if (!fileOpsEnabled() && toolBox_)
        state_.settings.Option.Open = false;
    pending_.toolBox = true;
    pending_.commands = true;
}

void Viewer::applyOrder()
{
    // The order is applied to the whole list; the transfer puts the
    // position back, and the viewer shows once the transfer returned.
    (void)listOps_->SortList(state_.SortOrder);
}

void Viewer::open(ListChange change)
{
    applyList(change);
    refresh();
}

void Viewer::sortBy(PlayOrder order)
{
    applyList(listOps_->menuSort(order));
    pending_.toolBox = true; // the order button shows the new order
    pending_.commands = true; // and the menu its check mark
    refresh();
}
