#pragma once
// How many pictures this run sent to each transfer folder: a transfer adds
// one, taking a move back removes it again. The status bar shows it beside
// the position in the list.
#include <QList>
#include <QString>
#include <QStringList>

struct JournalEntry;
struct Settings;

class SortTally
{
public:
    // A picture was copied or moved into `folder`.
    void sent(const QString &folder);
    // A move into `folder` was taken back.
    void returned(const QString &folder);
    // Pictures in `folder` from this run (0 when none).
    int count(const QString &folder) const;

    // "keep 28 · family 19 · rejects 10": the `shown` folders in their
    // order (count 0 included), then any other folder that received a
    // picture; empty when there is none of either.
    QString summary(const QStringList &shown) const;

private:
    struct Entry {
        QString folder;
        int count = 0;
    };
    Entry *find(const QString &folder);
    const Entry *find(const QString &folder) const;

    QList<Entry> entries_; // in the order folders first received a picture
};

// The status bar's second panel: "[12/60]" for `index` (0-based) of `count`,
// then the tally when there is one; empty without pictures and tally.
QString SortPlaceText(int index, int count, const QString &tally);

// Where a transfer through `slot` (0-based) went: the slot's folder, or the
// folder last chosen for a slot that asks at every transfer.
QString SlotDestination(const Settings &settings, int slot);
// The folders bound to the transfer buttons in use, in button order.
QStringList SlotFolders(const Settings &settings);
// The folder a journal entry sent its picture to (a copy or a move), the
// one an undo of it takes a picture from and a redo sends one to again;
// empty for other entries and for none.
QString TallyFolder(const JournalEntry *entry);
