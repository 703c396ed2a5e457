#include "app/FramePlan.h"

#include "common/AppTexts.h"
#include "common/Layout.h"

#include <QFileInfo>

QString PictureCaption(int index, int count, const QString &path)
{
    return QStringLiteral("%1 -- [%2/%3] %4").arg(kAppTitle).arg(index + 1).arg(count).arg(path);
}

Frame PlanFrame(const FrameRequest &r, const SlotLoader &load)
{
    Frame f;
    const int count = int(r.pages.size());
    f.caption = PictureCaption(r.index, count, r.pages.at(r.index));
    f.spread = r.form != DisplayForm::Single;
    const layout::SlotPlan plan = layout::PlanSlots(int(r.form), r.orient, r.index, count);
    QString lastRead;
    for (int slot = 0; slot < (f.spread ? 2 : 1); ++slot) {
        SlotFrame &s = f.pages[size_t(slot)];
        const int page = f.spread ? plan.page[size_t(slot)] : r.index;
        if (page < 0)
            continue;
        s.path = r.pages.at(page);
        if (!load(s.path, s.picture)) {
            s.picture.clear();
            if (!f.spread) {
                // A single page that cannot be shown leaves the slot empty.
                f.kind = Frame::Kind::Blank;
                return f;
            }
            s.failed = true;
            const QSize text = r.errorTextSize ? r.errorTextSize() : QSize(64, 16);
            s.errorPos = layout::ErrorLabelPosition(slot, r.area, text.height(), text.width(), 0);
            continue;
        }
        lastRead = s.path;
        s.rect = layout::LayoutPicture(s.picture.naturalSize, r.area, r.zoom, f.spread, slot, 0).rect;
    }
    if (!lastRead.isEmpty())
        f.fileName = QFileInfo(lastRead).completeBaseName();
    return f;
}
