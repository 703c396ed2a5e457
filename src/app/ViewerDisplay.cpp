#include "app/ViewerDisplay.h"

#include "app/FramePlan.h"
#include "app/Navigation.h"
#include "common/Layout.h"

#include <QtMath>

ViewerDisplay::ViewerDisplay(const ViewerState &state) : state_(state), cache_(32ll << 20, 8) {}

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

QSize ViewerDisplay::area() const
{
    return current_ ? layout::ComputeArea(state_.settings.Tool.State != 0, current_->surfaceSize()) : QSize();
}

LoadOptions ViewerDisplay::loadOptions() const
{
    const qreal dpr = current_ ? current_->surfacePixelRatio() : 1.0;
    LoadOptions options;
    options.maxSize = QSize(qCeil(state_.AreaWidth * dpr), qCeil(state_.AreaHeight * dpr));
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
    request.area = QSize(state_.AreaWidth, state_.AreaHeight);
    const QSize err = current_->errorTextSize();
    request.errorFontPixelHeight = err.height();
    request.errorTextWidth = err.width();
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

void ViewerDisplay::prefetchAround()
{
    const int count = state_.list.count();
    if (count < 2)
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
    cache_.prefetch(paths, loadOptions());
}
