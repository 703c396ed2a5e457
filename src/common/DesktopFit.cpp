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
