// Slideshow and full-screen view of the main window.
#include "app/Slideshow.h"
#include "app/ui/FullScreenWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PictureView.h"
#include "app/ui/QtPrompter.h"

#include <QAction>
#include <QApplication>
#include <QLabel>

void MainWindow::slideshowToggle()
{
    QAction *a = action(ActionId::slideshow1);
    a->setChecked(!a->isChecked());
    slideshowChanged();
}

void MainWindow::slideshowChanged()
{
    const auto &opt = state_.settings.Option;
    if (action(ActionId::slideshow1)->isChecked()) {
        EnableFileOps(false);
        Timer1->start(SlideshowInterval(opt.Interval, opt.IntervalM));
        prompter_->setStatusText(SlideshowOnText(opt.Interval, opt.IntervalM));
    } else {
        EnableFileOps(state_.settings.Tool.State == 0);
        Timer1->stop();
        prompter_->setStatusText(SlideshowOffText());
    }
}

void MainWindow::slideshowStep()
{
    const SlideshowStep s =
        SlideshowTimerStep(state_.PictureIndex, state_.list.count(), state_.settings.Tool.State,
                           state_.ListActive, state_.ShortcutRun, state_.RepeatMode);
    switch (s.outcome) {
    case SlideshowOutcome::Idle:
        return;
    case SlideshowOutcome::Stop:
        state_.PictureIndex = s.index;
        action(ActionId::slideshow1)->setChecked(false);
        slideshowChanged();
        return;
    case SlideshowOutcome::Show:
        state_.PictureIndex = s.index;
        Picture();
        return;
    case SlideshowOutcome::ShowQuit:
        state_.PictureIndex = s.index;
        Picture();
        state_.QuitRequested = true;
        close();
        return;
    }
}

void MainWindow::toggleFullScreen()
{
    QAction *a = action(ActionId::Max1);
    a->setChecked(!a->isChecked());
    fullScreenChanged();
}

void MainWindow::fullScreenChanged()
{
    // Switching off, the full-screen window gives the cursor back as it closes.
    state_.FullScreen = action(ActionId::Max1)->isChecked();
    MaxNormal();
    UpdateLabelVisibility();
}

void MainWindow::MaxNormal()
{
    if (state_.FullScreen && !fMax_) {
        fMax_ = new FullScreenWindow(this);
        fMax_->open();
    } else if (!state_.FullScreen && fMax_) {
        FullScreenWindow *w = fMax_;
        fMax_ = nullptr;
        w->close();
    } else {
        return;
    }
    if (state_.ListActive) {
        ComputeArea(state_.settings.Tool.State != 0);
        Picture();
    }
}

void MainWindow::fullScreenClosed()
{
    const bool byWindowManager = fMax_ != nullptr;
    fMax_ = nullptr;
    if (state_.FullScreen) {
        // Closed without going through Max1 (for example Alt+F4).
        state_.FullScreen = false;
        action(ActionId::Max1)->setChecked(false);
    }
    if (closing_)
        return;
    show();
    if (state_.FirstFlag)
        FormShow();
    if (byWindowManager && state_.ListActive) {
        ComputeArea(state_.settings.Tool.State != 0);
        Picture();
    }
}

void MainWindow::dropOnFullScreen(const QStringList &paths)
{
    state_.list.setSorted(true);
    const QString saved = prompter_->statusText();
    prompter_->setStatusText(kSearchingText);
    if (!paths.isEmpty()) {
        state_.list.clear();
        for (const QString &p : paths)
            listOps_->rFileName(p);
    }
    prompter_->setStatusText(saved);
    if (state_.list.isEmpty()) {
        ImageCls();
    } else {
        refreshToolBox();
        state_.ListActive = true;
        action(ActionId::slideshow1)->setEnabled(true);
        state_.PictureIndex = 0;
    }
    MenuCheck(state_.ListActive);
    state_.list.setSorted(false);
    listOps_->SortList(state_.SortOrder);
    ApplyDisplayMode();
}
