// The viewer's history: lists noted as they become active (held back until
// the first picture is on screen), read back, and cleared.
#include "app/Viewer.h"

#include "lists/History.h"

#include <utility>

void Viewer::recordHistory(const QStringList &list)
{
    // Writing the history waits for the disk; at start-up the first picture
    // goes on screen first.
    if (!startUp_->settled()) {
        startUp_->holdHistory(list);
        return;
    }
    writePendingHistory();
    history_->RecordHistory(list);
}

void Viewer::writePendingHistory()
{
    const QList<QStringList> held = startUp_->takeHeldHistory();
    if (held.isEmpty())
        return;
    for (const QStringList &list : held)
        history_->RecordHistory(list);
    refreshHistory();
}

void Viewer::refreshHistory()
{
    host_.historyChanged(history_->ListCheck(state_.settings));
    pending_.commands = true;
}

void Viewer::readHistoryEntry(int tag)
{
    switch (history_->readEntry(tag, state_.settings, state_.list, state_.ShortcutRun, prompter_)) {
    case History::ReadResult::Vanished:
        refreshHistory();
        break;
    case History::ReadResult::Loaded:
    case History::ReadResult::NoPicture:
        applyList(listOps_->ActivateList());
        break;
    }
    refresh();
}

void Viewer::clearHistory()
{
    if (history_->clear(state_.settings, prompter_))
        refreshHistory();
    refresh();
}
