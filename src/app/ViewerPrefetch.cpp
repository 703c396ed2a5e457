// Decoding ahead of the user: which pages, in which order, within the
// memory budget of the settings.
#include "app/Navigation.h"
#include "app/Viewer.h"
#include "common/Layout.h"

#include <algorithm>

void Viewer::applyPrefetchBudget()
{
    const int mib = std::clamp(int(state_.settings.Option.PrefetchMiB), OptionValues::kMinPrefetchMiB,
                               OptionValues::kMaxPrefetchMiB);
    cache_.setMaxBytes(qint64(mib) << 20);
}

void Viewer::noteDirection()
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

void Viewer::prefetchAround()
{
    const int count = state_.list.count();
    if (count < 2 || state_.FirstFlag || !neighboursAllowed_)
        return;
    const uint8_t form = state_.settings.Tool.State;
    const LoadOptions options = slotLoadOptions();
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
