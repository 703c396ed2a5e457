#pragma once
// The external applications in the tools menu (actions "app0".. after the
// menu's own items) and in the pop-up menu that the space key opens. Both
// are rebuilt as a whole from the menu model.
#include "desktop/ExternalApps.h"

#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QWidget;

class AppMenus : public QObject
{
    Q_OBJECT
public:
    // `tools` keeps its own items; `popup` holds only the applications.
    AppMenus(QMenu *tools, QMenu *popup, QObject *parent = nullptr);

    // Replaces the previous application actions and every pop-up item.
    void rebuild(const QList<AppMenuItem> &items);
    // Enables or disables every application action and pop-up item.
    void setEnabled(bool enabled);

    QList<QAction *> actions() const { return actions_; }
    QList<QAction *> popupActions() const { return popupActions_; }

    // Opens the pop-up menu at the centre of `window`.
    void popUpAtCentre(QWidget *window);

signals:
    // An application was chosen from either menu; `index` is its list position.
    void launchRequested(int index);

private:
    QMenu *tools_;
    QMenu *popup_;
    QList<QAction *> actions_;
    QList<QAction *> popupActions_;
};
