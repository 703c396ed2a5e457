#include "common/ui/FitToDesktop.h"

#include "common/DesktopFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void FitToDesktop(QWidget &window)
{
    QRect desk;
    for (QScreen *s : QGuiApplication::screens())
        desk = desk.united(s->geometry());
    if (desk.isEmpty())
        return;
    const QRect frame = window.frameGeometry();
    const QRect fitted = FitRectToDesktop(frame, desk);
    if (fitted.size() != frame.size())
        window.resize(window.width() - (frame.width() - fitted.width()),
                      window.height() - (frame.height() - fitted.height()));
    if (fitted.topLeft() != frame.topLeft())
        window.move(fitted.topLeft());
}
