#include "desktop/ui/AppMenus.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

AppMenus::AppMenus(QMenu *tools, QMenu *popup, QObject *parent)
    : QObject(parent), tools_(tools), popup_(popup)
{
}

void AppMenus::rebuild(const QList<AppMenuItem> &items)
{
    // Later deletion: a rebuild may be asked for from one of these actions.
    for (QAction *a : std::as_const(actions_)) {
        tools_->removeAction(a);
        a->deleteLater();
    }
    actions_.clear();
    const QList<QAction *> old = popup_->actions();
    for (QAction *a : old) {
        popup_->removeAction(a);
        if (a->parent() == popup_)
            a->deleteLater();
    }
    popupActions_.clear();

    for (const AppMenuItem &item : items) {
        const int index = item.index;
        auto *a = new QAction(item.actionText, tools_);
        a->setObjectName(item.id);
        a->setData(index);
        a->setEnabled(item.enabled);
        connect(a, &QAction::triggered, this, [this, index] { emit launchRequested(index); });
        tools_->addAction(a);
        actions_ << a;

        QAction *p = popup_->addAction(item.popupText);
        p->setData(index);
        p->setEnabled(item.enabled);
        connect(p, &QAction::triggered, this, [this, index] { emit launchRequested(index); });
        popupActions_ << p;
    }
}

void AppMenus::setEnabled(bool enabled)
{
    for (QAction *a : std::as_const(actions_))
        a->setEnabled(enabled);
    for (QAction *a : std::as_const(popupActions_))
        a->setEnabled(enabled);
}

void AppMenus::popUpAtCentre(QWidget *window)
{
    if (popupActions_.isEmpty() || !window)
        return;
    popup_->popup(window->mapToGlobal(QPoint(window->width() / 2, window->height() / 2)));
}
