#pragma once
// File operations that go through the journal, and undo and redo over it.
// Each operation acts on a whole group, all or nothing, and becomes one
// entry. Undo reverses the newest entry that stands, whatever its kind; redo
// makes undone entries again until a new operation is made. Nothing is ever
// overwritten: a name taken meanwhile stops the step and the entry stays.
#include "fileops/GroupOps.h"
#include "fileops/Journal.h"

#include <QStringList>

class FileOps;

struct JournalStep {
    enum class Status {
        Nothing, // no entry to act on
        Done,
        Blocked, // a name is taken, a file changed or is gone: nothing was touched
        Failed,  // the file operation failed; everything was put back (see text)
    };
    Status status = Status::Nothing;
    qint64 id = 0;
    QString text;         // what was reversed or made again, or why it stopped
    QStringList appeared; // paths that now hold a file again (for the open list)
    QStringList vanished; // paths that no longer do
    bool ok() const { return status == Status::Done; }
};

class JournalOps
{
public:
    JournalOps(Journal &journal, FileOps &ops);

    // The operations. The plan's first step is the picture's.
    GroupOutcome move(const GroupPlan &plan, JournalCause cause = JournalCause::Plain);
    GroupOutcome copy(const GroupPlan &plan, JournalCause cause = JournalCause::Plain);
    GroupOutcome rename(const GroupPlan &plan);
    GroupOutcome trash(const QStringList &members, JournalCause cause = JournalCause::Plain);
    // Id of the entry the last successful operation made.
    qint64 lastId() const { return lastId_; }

    bool canUndo() const { return undoTarget() != nullptr; }
    bool canRedo() const { return redoTarget() != nullptr; }
    // "移動 IMG_0042.JPG → keep": what the next undo (redo) acts on; empty when none.
    QString nextUndoText() const;
    QString nextRedoText() const;

    JournalStep undo();
    JournalStep redo();
    // Undoes entries newest first down to and including `id`, stopping at
    // the first that cannot be reversed (its step is the last in the list).
    QList<JournalStep> undoDownTo(qint64 id);

    // Why `entry` can no longer be reversed (a file changed or is gone, a
    // name is taken); empty when it can.
    QString whyNotReversible(const JournalEntry &entry) const;

    // At start: finishes or rolls back, by what is on the disk, every entry
    // that a crash left in the middle of a step. One text per entry acted on.
    QStringList recover();

    Journal &journal() { return journal_; }

    // The entry the next undo (redo) acts on; null when none.
    const JournalEntry *undoTarget() const;
    const JournalEntry *redoTarget() const;

private:
    GroupOutcome record(JournalKind kind, JournalCause cause, const GroupPlan &plan);
    JournalStep reverse(JournalEntry entry);
    JournalStep remake(JournalEntry entry);
    QString blockedForward(const JournalEntry &entry) const;
    QString recoverOne(JournalEntry entry);

    Journal &journal_;
    FileOps &ops_;
    qint64 lastId_ = 0;
};

// Renames the picture `from` to `newName` in its own folder, with its
// companions when `companionsToo`, as one entry. A member's new name that is
// taken refuses the whole group (TargetExists, naming that member).
GroupOutcome RenamePicture(JournalOps &ops, const QString &from, const QString &newName, bool companionsToo);

// Texts about entries.
QString JournalKindName(JournalKind kind);
// "移動 IMG_0042.JPG → keep", "名前変更 A.JPG → B.JPG", "削除 A.JPG".
QString JournalEntryText(const JournalEntry &entry);
