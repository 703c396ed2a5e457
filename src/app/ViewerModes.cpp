#include "app/ViewerModes.h"

#include "app/Slideshow.h"
#include "app/Viewer.h"
#include "common/Prompter.h"

ViewerModes::ViewerModes(Viewer &viewer) : QObject(&viewer), v_(viewer), timer_(new SlideshowTimer(this))
{
    connect(timer_, &SlideshowTimer::step, this, &ViewerModes::step);
}

bool ViewerModes::slideshowOn() const
{
    return timer_->isOn();
}

void ViewerModes::toggleSlideshow()
{
    setSlideshow(!timer_->isOn());
    v_.refresh();
}

void ViewerModes::setSlideshow(bool on)
{
    const auto &opt = v_.state_.settings.Option;
    if (on) {
        timer_->start(SlideshowInterval(opt.Interval, opt.IntervalM));
        v_.prompter_.setStatusText(SlideshowOnText(opt.Interval, opt.IntervalM));
    } else {
        timer_->stop();
        v_.prompter_.setStatusText(SlideshowOffText());
    }
    v_.fileOpsChanged(); // none while the slideshow runs
    v_.pending_.commands = true;
}

void ViewerModes::restartSlideshow()
{
    if (!timer_->isOn())
        return;
    const auto &opt = v_.state_.settings.Option;
    timer_->start(SlideshowInterval(opt.Interval, opt.IntervalM));
    v_.prompter_.setStatusText(SlideshowOnText(opt.Interval, opt.IntervalM));
}

void ViewerModes::stopTimer()
{
    timer_->stop();
}

void ViewerModes::step()
{
    const SlideshowStep s =
        SlideshowTimerStep(v_.state_.PictureIndex, v_.state_.list.count(), v_.state_.settings.Tool.State,
                           v_.state_.ListActive, v_.state_.ShortcutRun, v_.state_.RepeatMode);
    switch (s.outcome) {
    case SlideshowOutcome::Idle:
        return;
    case SlideshowOutcome::Stop:
        v_.state_.PictureIndex = s.index;
        setSlideshow(false);
        break;
    case SlideshowOutcome::Show:
        v_.state_.PictureIndex = s.index;
        v_.pending_.paint = true;
        break;
    case SlideshowOutcome::ShowQuit:
        v_.state_.PictureIndex = s.index;
        v_.pending_.paint = true;
        v_.refresh(); // the last picture goes on screen before the window closes
        v_.state_.QuitRequested = true;
        v_.host_.requestClose();
        return;
    }
    v_.refresh();
}

void ViewerModes::toggleFullScreen()
{
    switchFullScreen();
    v_.refresh();
}

void ViewerModes::switchFullScreen()
{
    v_.state_.FullScreen = !v_.state_.FullScreen;
    MaxNormal();
    v_.pending_.commands = true;
}

void ViewerModes::MaxNormal()
{
    if (v_.state_.FullScreen == v_.display_.fullScreenOpen())
        return;
    if (v_.state_.FullScreen) {
        v_.display_.useFullScreen(v_.host_.setFullScreen(true));
    } else {
        // The surface changes first, so the window's own end does not
        // display a second time.
        v_.display_.useFullScreen(nullptr);
        v_.host_.setFullScreen(false);
    }
    v_.display_.ComputeArea();
    if (v_.state_.ListActive)
        v_.pending_.paint = true;
}

void ViewerModes::fullScreenClosed(const std::function<void()> &showMain)
{
    const bool wasOpen = v_.display_.fullScreenOpen();
    if (wasOpen)
        v_.display_.useFullScreen(nullptr);
    if (v_.state_.FullScreen) {
        // Closed without going through Max1 (for example Alt+F4).
        v_.state_.FullScreen = false;
        v_.pending_.commands = true;
    }
    if (v_.closing_) {
        v_.refresh();
        return;
    }
    showMain();
    if (wasOpen) {
        v_.display_.ComputeArea();
        if (v_.state_.ListActive)
            v_.pending_.paint = true;
    }
    v_.refresh();
}

void ViewerModes::dropOnFullScreen(const QStringList &paths)
{
    v_.state_.list.setSorted(true);
    const QString saved = v_.prompter_.statusText();
    v_.prompter_.setStatusText(kSearchingText);
    if (!paths.isEmpty()) {
        v_.state_.list.clear();
        for (const QString &p : paths)
            v_.applyList(v_.listOps_->rFileName(p));
    }
    v_.prompter_.setStatusText(saved);
    if (v_.state_.list.isEmpty()) {
        v_.ImageCls();
    } else {
        v_.pending_.toolBox = true;
        v_.state_.ListActive = true;
        v_.state_.PictureIndex = 0;
    }
    v_.pending_.commands = true;
    v_.state_.list.setSorted(false);
    v_.applyList(v_.listOps_->SortList(v_.state_.SortOrder));
    v_.settings_.applyDisplayMode();
    v_.refresh();
}
