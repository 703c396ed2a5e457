#pragma once
// File operations on a whole group (a picture and its companions), all or
// nothing: when one member fails, the members already done are put back and
// the caller learns which member failed and why. Nothing is ever replaced.
#include "platform/FileOps.h"
#include "platform/FileStamp.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

struct GroupStep {
    QString from;
    QString to;
};
// The picture's step first, then its companions'.
using GroupPlan = QList<GroupStep>;

struct GroupOutcome {
    FileOpOutcome outcome;      // Ok, or why the failing member failed
    QString failedMember;       // the member that failed (its path before the step)
    QString failedTarget;       // where it was to go (empty for the trash)
    QStringList notPutBack;     // members that could not be put back after a failure, where they are
    QList<TrashedFile> trashed; // trashing: where each member went, in order
    QList<FileStamp> stamps;    // size and time of each member where it ended up, in order
    bool ok() const { return outcome.ok(); }
};

// Every member of `members` (full paths, picture first) to `folder` under the
// names the picture's new name `pictureName` gives them (see RenamedMembers).
GroupPlan PlanGroup(const QStringList &members, const QString &folder, const QString &pictureName);
// The same plan with the numbered name base + NumberTag(number) + suffix.
GroupPlan NumberedPlan(const QStringList &members, const QString &folder, int number);
// The steps taken backwards.
GroupPlan Reversed(const GroupPlan &plan);
// The first number (1, 2, ...) at which every member's numbered name is free
// in `folder`; `beforeEach` runs before each candidate (the pause between
// them). 0 when `limit` numbers were all taken.
int FreeGroupNumber(const QStringList &members, const QString &folder, int limit,
                    const std::function<void()> &beforeEach = {});
// Index of the first step whose target name is taken; -1 when all are free.
int FirstClash(const GroupPlan &plan);
// Targets of the plan that are taken.
QStringList TakenTargets(const GroupPlan &plan);

GroupOutcome MoveGroup(FileOps &ops, const GroupPlan &plan);
// Renames stay on one file system; nothing is copied.
GroupOutcome RenameGroup(FileOps &ops, const GroupPlan &plan);
// On failure the copies already made are removed again (only while unchanged).
GroupOutcome CopyGroup(FileOps &ops, const GroupPlan &plan);
// On failure the members already trashed are restored. `trashedOne`, when
// given, learns where each member went as soon as it is there (the journal
// writes it down, so that a crash in the middle still knows).
using TrashedOne = std::function<void(qsizetype index, const TrashedFile &where)>;
GroupOutcome TrashGroup(FileOps &ops, const QStringList &paths, const TrashedOne &trashedOne = {});
// On failure the members already restored go back to the trash.
GroupOutcome RestoreGroup(FileOps &ops, const QList<TrashedFile> &entries);

// "IMG_0042.CR2: 同じ名前のファイルがすでにあります。" and, when something
// could not be put back, where it is now.
QString DescribeGroupFailure(const GroupOutcome &outcome);
