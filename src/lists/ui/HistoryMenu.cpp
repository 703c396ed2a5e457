#include "lists/ui/HistoryMenu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

HistoryMenu::HistoryMenu(QMenu *menu, QAction *list1, QAction *listDel1, QObject *parent)
    : QObject(parent), list1_(list1), listDel1_(listDel1)
{
    for (int slot = 1; slot <= int(actions_.size()); ++slot) {
        auto *a = new QAction(menu);
        a->setObjectName(QStringLiteral("gd%1").arg(slot));
        a->setData(slot);
        a->setVisible(false);
        menu->addAction(a);
        connect(a, &QAction::triggered, this, [this, slot] { emit entryChosen(slot); });
        actions_[slot - 1] = a;
    }
    apply({});
}

void HistoryMenu::apply(const QStringList &captions)
{
    for (int i = 0; i < int(actions_.size()); ++i) {
        QAction *a = actions_[i];
        const bool used = i < captions.size();
        // A folder name may hold '&'; it must not become a mnemonic.
        a->setText(used ? QString(captions.at(i)).replace(u'&', QStringLiteral("&&")) : QString());
        a->setShortcut(used ? QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)) : QKeySequence());
        a->setVisible(used);
    }
    const bool any = !captions.isEmpty();
    if (list1_)
        list1_->setEnabled(any);
    if (listDel1_)
        listDel1_->setVisible(any);
}
