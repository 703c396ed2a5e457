#include "common/DesktopFit.h"

QRect FitRectToDesktop(const QRect &frame, const QRect &desktop)
{
    if (desktop.isEmpty())
        return frame;
    const int w = qMin(frame.width(), desktop.width());
    const int h = qMin(frame.height(), desktop.height());
    int left = frame.left(), top = frame.top();
    const int right = desktop.left() + desktop.width();
    const int bottom = desktop.top() + desktop.height();
    if (right < left + w)
        left = right - w;
    if (bottom < top + h)
        top = bottom - h;
    left = qMax(left, desktop.left());
    top = qMax(top, desktop.top());
    return QRect(left, top, w, h);
}

QPoint PlaceBeside(const QRect &main, QSize box, const QRect &desktop, int clearBottom)
{
    const int top =
        qBound(desktop.top(), main.top(), qMax(desktop.top(), desktop.bottom() + 1 - box.height()));
    if (main.right() + 1 + box.width() <= desktop.right() + 1)
        return QPoint(main.right() + 1, top);
    if (main.left() - box.width() >= desktop.left())
        return QPoint(main.left() - box.width(), top);
    return QPoint(qMax(desktop.left(), desktop.right() + 1 - box.width()), qMax(desktop.top(), clearBottom));
}
