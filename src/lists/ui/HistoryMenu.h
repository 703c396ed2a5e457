#pragma once
// The six history actions of the "履歴(&B)" submenu. Created once with the
// main window; apply() brings them in line with History::ListCheck.
#include <QObject>
#include <QStringList>
#include <array>

class QAction;
class QMenu;

class HistoryMenu : public QObject
{
    Q_OBJECT
public:
    // Adds six invisible actions gd1..gd6 (tag = slot, no caption, no
    // shortcut) to `menu`, disables `list1` and hides `listDel1`. Either
    // state action may be null.
    HistoryMenu(QMenu *menu, QAction *list1, QAction *listDel1, QObject *parent = nullptr);

    // Shows one action per caption with Ctrl+1.. in order; hides the rest;
    // enables `list1` and shows `listDel1` exactly when there is an entry.
    void apply(const QStringList &captions);

    QAction *action(int slot) const { return actions_.at(slot - 1); }

signals:
    // A history action was triggered; `tag` is its slot 1..6.
    void entryChosen(int tag);

private:
    std::array<QAction *, 6> actions_{};
    QAction *list1_;
    QAction *listDel1_;
};
