#include "fileops/ui/BelowDialogs.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>

void FollowModalDialogs(QWidget &window)
{
    QWindow *handle = window.windowHandle();
    if (!handle)
        return;
    QWidget *modal = QApplication::activeModalWidget();
    const bool onTop = modal == nullptr;
    if (handle->flags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    handle->setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (modal)
        modal->raise();
}
