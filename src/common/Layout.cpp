#include "common/Layout.h"

#include <QString>
#include <algorithm>
#include <climits>
#include <cmath>

namespace layout
{

int roundHalfEven(double x)
{
    if (!std::isfinite(x))
        return 0;
    x = std::clamp(x, double(INT_MIN), double(INT_MAX));
    double r = std::round(x); // halves away from zero
    if (std::fabs(x - std::trunc(x)) == 0.5)
        r = 2.0 * std::round(x / 2.0);
    return int(r);
}

QSize ComputeArea(bool spread, QSize client, int statusBarHeight, int menuBarHeight)
{
    int w = client.width();
    if (spread)
        w /= 2;
    const int h = client.height() - statusBarHeight - menuBarHeight;
    return QSize(std::max(w, 0), std::max(h, 0));
}

PictureLayout LayoutPicture(QSize picture, QSize area, bool zoom, bool spread, int slot, int menuBarHeight)
{
    PictureLayout out;
    const double W = area.width(), H = area.height();
    const double w = picture.width(), h = picture.height();
    if (w <= 0 || h <= 0) {
        out.rect = QRect(0, menuBarHeight, 0, 0);
        return out;
    }

    bool fitHeight;
    if (W >= w && H >= h) {
        if (!zoom) {
            out.placement = Placement::Natural;
        } else {
            fitHeight = W / H > w / h;
            out.placement = fitHeight ? Placement::FitHeight : Placement::FitWidth;
        }
    } else if (W >= w) {
        out.placement = Placement::FitHeight;
    } else if (H >= h) {
        out.placement = Placement::FitWidth;
    } else {
        fitHeight = W / w >= H / h;
        out.placement = fitHeight ? Placement::FitHeight : Placement::FitWidth;
    }

    int width = int(w), height = int(h);
    if (out.placement == Placement::FitHeight) {
        width = roundHalfEven(H / h * w);
        height = int(H);
    } else if (out.placement == Placement::FitWidth) {
        width = int(W);
        height = roundHalfEven(W / w * h);
    }

    const int M = menuBarHeight;
    const int iW = int(W);
    int top, left;
    switch (out.placement) {
    case Placement::FitWidth:
        top = roundHalfEven((H - height) / 2.0) + M;
        left = !spread || slot == 0 ? 0 : iW;
        break;
    case Placement::FitHeight:
        top = M;
        left = !spread ? roundHalfEven((W - width) / 2.0) : (slot == 0 ? iW - width : iW);
        break;
    case Placement::Natural:
    default:
        top = roundHalfEven((H - height) / 2.0) + M;
        left = !spread ? roundHalfEven((W - width) / 2.0) : (slot == 0 ? iW - width : iW);
        break;
    }
    out.rect = QRect(left, top, width, height);
    return out;
}

SlotPlan PlanSlots(int toolState, int orient, int index, int count)
{
    SlotPlan plan;
    if (count <= 0 || index < 0 || index >= count)
        return plan;
    if (toolState == 0) {
        plan.page[0] = index;
        plan.picture[0] = 0;
        return plan;
    }
    const size_t F = orient == 1 ? 1 : 0; // slot of the current page
    const size_t N = 1 - F;               // slot of the next page
    if (toolState == 2 && index == 0) {
        // The opening page stands alone on the side of the next page.
        plan.page[N] = 0;
        plan.picture[N] = 1;
        return plan;
    }
    plan.page[F] = index;
    plan.picture[F] = 0;
    if (index < count - 1) {
        plan.page[N] = index + 1;
        plan.picture[N] = 1;
    }
    return plan;
}

QPoint ErrorLabelPosition(int slot, QSize area, int fontPixelHeight, int textWidth, int menuBarHeight)
{
    return QPoint(slot * area.width() + (area.width() - textWidth) / 2,
                  (area.height() - fontPixelHeight) / 2 + menuBarHeight);
}

QSize FileNameLabelSize(const QString &name, int fontPixelHeight)
{
    const int px = std::abs(fontPixelHeight);
    // Count characters, not UTF-16 units, so an emoji is one em wide.
    int chars = 0;
    for (const QChar c : name)
        chars += c.isLowSurrogate() ? 0 : 1;
    return QSize(chars * px, int(px * 1.2));
}

ShrunkFont ShrinkLabelFont(int maxWidth, int fontSize, const TextWidthAt &measure)
{
    // The size measured is always s - 1; stop at s = 2 so nothing below one
    // point is ever asked for (a size of 1 or less starts there directly).
    int s = std::max(fontSize, 2);
    int width = measure(s - 1);
    while (width > maxWidth && s > 2) {
        --s;
        width = measure(s - 1);
    }
    return ShrunkFont{s - 1, width};
}

LabelPlacement PlaceFileNameLabel(int flag, QSize panel, int fontSize, const LabelWindow &window,
                                  const TextWidthAt &measure)
{
    LabelPlacement out;
    if (flag < 1 || flag > 6)
        return out;
    out.visible = true;
    int pw = panel.width();
    const int ph = panel.height();
    if (window.limitWidth < pw) {
        const ShrunkFont f = ShrinkLabelFont(window.limitWidth, fontSize, measure);
        out.pointSize = f.pointSize;
        pw = f.width;
    } else {
        out.pointSize = fontSize;
    }
    const int column = (flag - 1) % 3; // 0 left, 1 centre, 2 right
    const int left = column == 0 ? 0 : column == 1 ? (window.outerWidth - pw) / 2 : window.outerWidth - pw;
    const int top = flag <= 3 ? window.topOffset : window.height - ph - window.bottomOffset;
    out.rect = QRect(left, top, pw, ph);
    return out;
}

} // namespace layout
