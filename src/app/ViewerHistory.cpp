// The viewer's history: lists noted as they become active (held back until
// the first picture is on screen), read back, and cleared.
#include "app/ViewerHistory.h"

#include "app/Viewer.h"

#include "lists/History.h"

#include <utility>

ViewerHistory::ViewerHistory(Viewer &viewer, const QString &folder)
    : v_(viewer), history_(std::make_unique<History>(folder))
{
}

ViewerHistory::~ViewerHistory() = default;

void ViewerHistory::record(const QStringList &list)
{
    // Writing the history waits for the disk; at start-up the first picture
    // goes on screen first.
    if (!v_.startUp_->settled()) {
        v_.startUp_->holdHistory(list);
        return;
    }
    writeHeld();
    history_->RecordHistory(list);
}

void ViewerHistory::writeHeld()
{
    const QList<QStringList> held = v_.startUp_->takeHeldHistory();
    if (held.isEmpty())
        return;
    for (const QStringList &list : held)
        history_->RecordHistory(list);
    refreshMenu();
}

void ViewerHistory::refreshMenu()
{
    v_.host_.historyChanged(history_->ListCheck(v_.state_.settings));
    v_.pending_.commands = true;
}

void ViewerHistory::read(int tag)
{
    switch (history_->readEntry(tag, v_.state_.settings, v_.state_.list, v_.state_.ShortcutRun, v_.prompter_)) {
    case History::ReadResult::Vanished:
        refreshMenu();
        break;
    case History::ReadResult::Loaded:
    case History::ReadResult::NoPicture:
        v_.applyList(v_.listOps_->ActivateList());
        break;
    }
    v_.refresh();
}

void ViewerHistory::clear()
{
    if (history_->clear(v_.state_.settings, v_.prompter_))
        refreshMenu();
    v_.refresh();
}
