#include "app/ViewerStartUp.h"

#include "app/CommandLine.h"
#include "app/Viewer.h"
#include "common/Prompter.h"
#include "decode/EarlyPicture.h"
#include "decode/spi/PluginHost.h"

#include <QPointer>
#include <QTimer>

ViewerStartUp::ViewerStartUp(Viewer &viewer) : QObject(&viewer), v_(viewer) {}

void ViewerStartUp::startServices()
{
    ViewerState &st = v_.state_;
    v_.display_.ComputeArea();
    expectFirstPicture();
    st.ListActive = false;
    st.ShortcutRun = false;
    st.list.setSorted(true);
    v_.history_.refreshMenu();
    v_.formats_.addQtFormats();
    // A relative plug-in folder in the settings means one in the application folder.
    v_.plugins_ = std::make_unique<PluginHost>(v_.prompter_, v_.formats_, v_.folders_.application);
    v_.plugins_->searchAtStartup(st.settings.SusieDir, v_.folders_.plugins);
    st.PictureFilter = v_.formats_.filter();
    v_.apps_.read(st.settings.AppList);
    v_.host_.appsChanged();
    v_.settings_.readRules();
    openJournal();
    QString tempError;
    if (v_.temp_.setUp(&tempError))
        st.TempFolder = v_.temp_.path();
    else
        v_.prompter_.error(tempError);
    v_.pending_.commands = true;
    v_.refresh();
}

void ViewerStartUp::openJournal()
{
    // A step that a crash interrupted is finished or rolled back, by what
    // is on the disk, before anything else touches the files.
    v_.journal_.load();
    QStringList told = v_.journalOps_->recover();
    if (const QString damage = v_.journal_.takeDamageReport(); !damage.isEmpty())
        told << damage;
    if (!told.isEmpty())
        v_.prompter_.info(told.join(QStringLiteral("\n\n")));
}

void ViewerStartUp::applyCommandLine(const QStringList &args)
{
    CommandLineEnvironment env;
    env.onStep = [this](const CommandLineStep &step) {
        switch (step.kind) {
        case CommandLineStep::Kind::AddPath:
            // Archives can take long to extract: they follow once the
            // window has painted, behind a progress window.
            if (ListOps::isArchivePath(step.path) && !v_.state_.ComMax)
                archives_ << step.path;
            else
                v_.applyList(v_.listOps_->rFileName(step.path));
            break;
        case CommandLineStep::Kind::ToggleSlideshow:
            v_.modes_->setSlideshow(!v_.modes_->slideshowOn());
            break;
        case CommandLineStep::Kind::ToggleFullScreen:
            v_.modes_->switchFullScreen();
            break;
        }
    };
    ApplyCommandLine(args, v_.state_, env);
    v_.refresh();
}

void ViewerStartUp::firstShow(const std::function<void()> &restore)
{
    // One paint at the end, with the window measured after its geometry
    // was restored.
    ViewerState &st = v_.state_;
    v_.display_.ComputeArea();
    expectFirstPicture();
    st.list.setSorted(false);
    st.SortOrder = PlayOrder::Name;
    v_.applyList(v_.listOps_->SortList(st.SortOrder));
    if (st.ShortcutRun)
        v_.applyList(v_.listOps_->ActivateList());
    if (!st.ComMax) {
        if (!v_.display_.fullScreenOpen()) {
            v_.applyList(v_.listOps_->ActivateList());
            restore();
        }
        v_.display_.ComputeArea();
        expectFirstPicture();
        v_.history_.refreshMenu();
    }
    st.FirstFlag = false;
    v_.pending_.commands = true;
    v_.refresh();

    if (!archives_.isEmpty())
        QTimer::singleShot(0, this, &ViewerStartUp::addHeldArchives);
    // Neighbours are decoded once the first picture is on screen, so they do
    // not compete with it for the processor (pictureOnScreen); a start whose
    // first picture never paints gets them a little later.
    QTimer::singleShot(200, this, &ViewerStartUp::afterFirstPicture);
}

void ViewerStartUp::expectFirstPicture()
{
    // The first picture, decoding since the program started, is shrunk to
    // the area measured now on its own thread.
    if (v_.state_.FirstFlag && v_.display_.current() && !v_.display_.fullScreenOpen())
        EarlyPicture::expect(v_.display_.loadOptions());
}

void ViewerStartUp::addHeldArchives()
{
    const QStringList archives = std::exchange(archives_, {});
    if (v_.closing_)
        return;
    ViewerState &st = v_.state_;
    st.list.setSorted(true);
    for (const QString &a : archives)
        v_.applyList(v_.listOps_->rFileName(a));
    st.list.setSorted(false);
    v_.applyList(v_.listOps_->SortList(st.SortOrder));
    v_.applyList(v_.listOps_->ActivateList());
    v_.pending_.paint = true;
    v_.refresh();
}

bool ViewerStartUp::awaitEarly(const QString &path)
{
    if (!EarlyPicture::busy(path))
        return false;
    // Displays asked for meanwhile (command line, first show) wait for the
    // same call back.
    if (!earlyAwaited_) {
        earlyAwaited_ = true;
        EarlyPicture::whenReady([self = QPointer<ViewerStartUp>(this)] {
            if (!self)
                return;
            self->earlyAwaited_ = false;
            self->v_.Picture();
        });
    }
    return true;
}

void ViewerStartUp::pictureOnScreen()
{
    if (settled_ || v_.state_.FirstFlag || firstPaintSeen_)
        return;
    firstPaintSeen_ = true;
    // Queued: runs once the paint under way has been put on screen.
    QTimer::singleShot(0, this, &ViewerStartUp::afterFirstPicture);
}

void ViewerStartUp::holdForWindow()
{
    if (settled_)
        return;
    ++windowsToPaint_;
    // A window that never paints (hidden at once, say) holds nothing for long.
    QTimer::singleShot(500, this, [this] {
        if (windowsToPaint_ > 0) {
            windowsToPaint_ = 1;
            windowPainted();
        }
    });
}

void ViewerStartUp::windowPainted()
{
    if (windowsToPaint_ == 0)
        return;
    if (--windowsToPaint_ == 0 && firstPaintSeen_)
        QTimer::singleShot(0, this, &ViewerStartUp::afterFirstPicture);
}

void ViewerStartUp::afterFirstPicture()
{
    if (settled_)
        return; // already done, by the first paint or by the timer
    if (windowsToPaint_ > 0 && firstPaintSeen_)
        return; // once the other windows have painted (windowPainted)
    // A slow first picture still decoding early: wait for it rather than
    // decode it a second time.
    if (EarlyPicture::working()) {
        QTimer::singleShot(100, this, &ViewerStartUp::afterFirstPicture);
        return;
    }
    EarlyPicture::release(); // a first picture decoded early and not shown after all
    settled_ = true;
    v_.history_.writeHeld();
    if (v_.state_.ListActive)
        v_.display_.prefetchAround();
}

void ViewerStartUp::holdHistory(const QStringList &list)
{
    if (history_.isEmpty() || history_.constLast() != list)
        history_.append(list);
}
