#include "app/ViewerDisplay.h"

#include "app/FramePlan.h"
#include "app/Navigation.h"
#include "common/Layout.h"
#include "settings/OptionValues.h"

#include <QtMath>
#include <algorithm>

ViewerDisplay::ViewerDisplay(const ViewerState &state)
    : state_(state), cache_(qint64(OptionSettings{}.PrefetchMiB) << 20, 32)
{
}

void ViewerDisplay::setMainTarget(DisplayTarget *target)
{
    if (current_ == main_)
        current_ = target;
    main_ = target;
}

void ViewerDisplay::useFullScreen(DisplayTarget *full)
{
    current_ = full ? full : main_;
    if (current_)
        current_->updateLabel(labelStyle());
}

void ViewerDisplay::ComputeArea()
{
    if (state_.QuitRequested || !current_)
        return;
    area_ = layout::ComputeArea(state_.settings.Tool.State != 0, current_->surfaceSize());
}

LoadOptions ViewerDisplay::loadOptions() const
{
    const qreal dpr = current_ ? current_->surfacePixelRatio() : 1.0;
    LoadOptions options;
    options.maxSize = QSize(qCeil(area_.width() * dpr), qCeil(area_.height() * dpr));
    options.autoRotate = state_.AutoRotate;
    return options;
}

LabelStyle ViewerDisplay::labelStyle() const
{
    return LabelStyle{state_.settings.fnLabel, state_.settings.Window.FileNameShown,
                      state_.settings.Tool.State == 0};
}

ViewerDisplay::Painted ViewerDisplay::paint()
{
    FrameRequest request;
    request.pages = state_.list.items();
    request.index = state_.PictureIndex;
    request.form = displayFormFrom(state_.settings.Tool.State);
    request.orient = state_.settings.Tool.Orient;
    request.zoom = state_.settings.Option.Zoom;
    request.area = area_;
    request.errorTextSize = [this] { return current_->errorTextSize(); };
    const LoadOptions options = loadOptions();
    const Frame frame = PlanFrame(request, [&](const QString &path, PictureData &picture) {
        return cache_.get(path, options, picture);
    });
    Painted out{frame.caption, frame.kind == Frame::Kind::Blank, false};
    if (out.blank) {
        current_->blankFrame();
        if (current_ != main_)
            main_->blankFrame();
        return out;
    }
    current_->paintFrame(frame, labelStyle());
    out.anyShown = frame.anyShown();
    return out;
}

void ViewerDisplay::clear()
{
    if (main_)
        main_->clearFrame();
    if (current_ && current_ != main_)
        current_->clearFrame();
}

void ViewerDisplay::showName(const QString &name)
{
    if (current_)
        current_->showName(name, labelStyle());
}

void ViewerDisplay::updateLabels()
{
    for (DisplayTarget *t : {main_, current_})
        if (t)
            t->updateLabel(labelStyle());
}

void ViewerDisplay::setBudget(int mib)
{
    mib = std::clamp(mib, OptionValues::kMinPrefetchMiB, OptionValues::kMaxPrefetchMiB);
    cache_.setMaxBytes(qint64(mib) << 20);
}

void ViewerDisplay::noteDirection()
{
    const int count = state_.list.count();
    const int index = state_.PictureIndex;
    if (lastShownIndex_ >= 0 && lastShownIndex_ < count && index != lastShownIndex_) {
        // The shorter way round: from the last page to the first is forward.
        const int ahead = ((index - lastShownIndex_) % count + count) % count;
        forward_ = ahead <= count - ahead;
    }
    lastShownIndex_ = index;
}

void ViewerDisplay::prefetchAround()
{
    const int count = state_.list.count();
    if (count < 2)
        return;
    const uint8_t form = state_.settings.Tool.State;
    const LoadOptions options = loadOptions();
    auto pagePaths = [&](int idx) {
        const layout::SlotPlan plan =
            layout::PlanSlots(form, state_.settings.Tool.Orient, NormalizeIndex(idx, count, form), count);
        QStringList out;
        for (int slot = 0; slot < 2; ++slot)
            if (plan.slotInUse(slot))
                out << state_.list.at(plan.page[slot]);
        return out;
    };
    const int here = NormalizeIndex(state_.PictureIndex, count, form);
    const QStringList shown = pagePaths(here);
    // As many pages ahead as the budget holds beside the pages on screen and
    // the one behind, each at most the size of its slot.
    const qint64 perPage = qMax<qint64>(1, qint64(options.maxSize.width()) * options.maxSize.height() * 4) *
                           qMax<qint64>(1, shown.size());
    constexpr qint64 kMostAhead = 6;
    const qint64 ahead = qBound<qint64>(1, cache_.maxBytes() / perPage - 2, kMostAhead);
    QStringList paths;
    auto add = [&](const QStringList &page) {
        for (const QString &p : page)
            if (!shown.contains(p) && !paths.contains(p))
                paths << p;
    };
    // The next two pages first, so that a held key keeps both decoding
    // threads busy, then the one behind, so that turning back is instant,
    // then the rest ahead.
    int idx = here;
    for (qint64 i = 0; i < ahead; ++i) {
        idx = NormalizeIndex(StepIndex(idx, forward_, form), count, form);
        add(pagePaths(idx));
        if (i == qMin<qint64>(1, ahead - 1))
            add(pagePaths(StepIndex(here, !forward_, form)));
    }
    cache_.prefetch(paths, options, shown);
}
