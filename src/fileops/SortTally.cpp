#include "fileops/SortTally.h"

#include "common/PathUtil.h"
#include "fileops/Journal.h"
#include "fileops/ToolBoxLayout.h"
#include "fileops/Transfer.h"
#include "settings/Settings.h"

#include <QDir>

namespace
{
// One folder however it was written: with or without the final "/".
QString folderKey(QString folder)
{
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}
} // namespace

SortTally::Entry *SortTally::find(const QString &folder)
{
    const QString key = folderKey(folder);
    for (Entry &e : entries_)
        if (e.folder == key)
            return &e;
    return nullptr;
}

const SortTally::Entry *SortTally::find(const QString &folder) const
{
    return const_cast<SortTally *>(this)->find(folder);
}

void SortTally::sent(const QString &folder)
{
    if (folder.isEmpty())
        return;
    if (Entry *e = find(folder))
        ++e->count;
    else
        entries_.append(Entry{folderKey(folder), 1});
}

void SortTally::returned(const QString &folder)
{
    if (Entry *e = find(folder); e && e->count > 0)
        --e->count;
}

int SortTally::count(const QString &folder) const
{
    const Entry *e = find(folder);
    return e ? e->count : 0;
}

QString SortTally::summary(const QStringList &shown) const
{
    QStringList keys;
    for (const QString &f : shown)
        if (!f.isEmpty() && !keys.contains(folderKey(f)))
            keys << folderKey(f);
    for (const Entry &e : entries_)
        if (e.count > 0 && !keys.contains(e.folder))
            keys << e.folder;
    QStringList parts;
    for (const QString &k : keys) {
        QString name = LastFolderName(k);
        if (name.isEmpty())
            name = k;
        parts << QStringLiteral("%1 %2").arg(name).arg(count(k));
    }
    return parts.join(QStringLiteral(" · "));
}

QString SortPlaceText(int index, int count, const QString &tally)
{
    QStringList parts;
    if (count > 0)
        parts << QStringLiteral("[%1/%2]").arg(qBound(0, index, count - 1) + 1).arg(count);
    if (!tally.isEmpty())
        parts << tally;
    return parts.join(QStringLiteral("  "));
}

QString SlotDestination(const Settings &settings, int slot)
{
    if (slot < 0 || slot >= kMaxTransferSlots)
        return {};
    const TransferSlot &s = settings.TransferSlots[size_t(slot)];
    return s.Folder == kRunTimeFolder ? s.ChosenFolder : s.Folder;
}

QStringList SlotFolders(const Settings &settings)
{
    QStringList folders;
    const int n = TransferButtonCount(settings.Option.nButton);
    for (int i = 0; i < n && i < kMaxTransferSlots; ++i) {
        const QString &f = settings.TransferSlots[size_t(i)].Folder;
        if (f != kRunTimeFolder && QDir::isAbsolutePath(f)) // "none" is unset
            folders << f;
    }
    return folders;
}

QString TallyFolder(const JournalEntry *entry)
{
    if (!entry || entry->members.isEmpty() ||
        (entry->kind != JournalKind::Copy && entry->kind != JournalKind::Move))
        return {};
    return FolderPart(entry->members.first().to);
}
