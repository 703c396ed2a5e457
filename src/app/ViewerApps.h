#pragma once
// The external applications of the tools menu and the space key, as the
// settings list them, started on the picture shown.
#include "common/ViewerState.h"
#include "desktop/ExternalApps.h"

class Prompter;

class ViewerApps
{
public:
    void read(const QStringList &appList) { apps_ = ReadAppEntries(appList); }
    const QList<AppEntry> &entries() const { return apps_; }
    // The application menus as they should be now.
    QList<AppMenuItem> menuModel(bool pictureActions) const { return AppMenuModel(apps_, pictureActions); }
    // Starts application `index` on the picture shown.
    void run(int index, const ViewerState &state, Prompter &prompter) const
    {
        if (index >= 0 && index < apps_.size())
            RunApp(apps_.at(index), CurrentPicture(state), prompter);
    }

private:
    QList<AppEntry> apps_;
};
