#include "fileops/GroupOps.h"

#include "common/NameParts.h"
#include "common/PathUtil.h"
#include "fileops/FileGroup.h"

namespace
{
QStringList namesOf(const QStringList &paths)
{
    QStringList names;
    for (const QString &p : paths)
        names << FileNamePart(p);
    return names;
}

GroupOutcome failedAt(const GroupStep &step, const FileOpOutcome &o)
{
    GroupOutcome g;
    g.outcome = o;
    g.failedMember = step.from;
    g.failedTarget = step.to;
    return g;
}

// Checks what can be checked before touching anything: every source there,
// every target free.
bool precheck(const GroupPlan &plan, GroupOutcome &g)
{
    for (const GroupStep &s : plan) {
        if (!NameTaken(s.from)) {
            g = failedAt(s, {FileOpResult::SourceMissing, {}});
            return false;
        }
    }
    const int clash = FirstClash(plan);
    if (clash >= 0) {
        g = failedAt(plan[clash], {FileOpResult::TargetExists, {}});
        return false;
    }
    return true;
}

using StepFn = FileOpOutcome (FileOps::*)(const QString &, const QString &);

// Steps through the plan with `step`; on a failure takes the done steps back
// with `back` (newest first).
GroupOutcome runPlan(FileOps &ops, const GroupPlan &plan, StepFn step, StepFn back)
{
    GroupOutcome g;
    if (!precheck(plan, g))
        return g;
    for (qsizetype i = 0; i < plan.size(); ++i) {
        const FileOpOutcome o = (ops.*step)(plan[i].from, plan[i].to);
        if (o.ok()) {
            g.stamps << StampOf(plan[i].to);
            continue;
        }
        g = failedAt(plan[i], o);
        for (qsizetype j = i - 1; j >= 0; --j)
            if (!(ops.*back)(plan[j].to, plan[j].from).ok())
                g.notPutBack << plan[j].to;
        return g;
    }
    return g;
}
} // namespace

GroupPlan PlanGroup(const QStringList &members, const QString &folder, const QString &pictureName)
{
    const QStringList names = RenamedMembers(namesOf(members), pictureName);
    const QString dir = WithBackslash(folder);
    GroupPlan plan;
    for (qsizetype i = 0; i < members.size(); ++i)
        plan << GroupStep{members[i], dir + names[i]};
    return plan;
}

GroupPlan NumberedPlan(const QStringList &members, const QString &folder, int number)
{
    if (members.isEmpty())
        return {};
    const NameAndExt picture = SplitExt(FileNamePart(members.first()));
    return PlanGroup(members, folder, picture.name + NumberTag(number) + picture.ext);
}

int FreeGroupNumber(const QStringList &members, const QString &folder, int limit,
                    const std::function<void()> &beforeEach)
{
    for (int n = 1; n > 0 && n <= limit; ++n) {
        if (beforeEach)
            beforeEach();
        if (FirstClash(NumberedPlan(members, folder, n)) < 0)
            return n;
    }
    return 0;
}

GroupPlan Reversed(const GroupPlan &plan)
{
    GroupPlan back;
    for (const GroupStep &s : plan)
        back << GroupStep{s.to, s.from};
    return back;
}

int FirstClash(const GroupPlan &plan)
{
    for (qsizetype i = 0; i < plan.size(); ++i)
        if (NameTaken(plan[i].to))
            return int(i);
    return -1;
}

QStringList TakenTargets(const GroupPlan &plan)
{
    QStringList taken;
    for (const GroupStep &s : plan)
        if (NameTaken(s.to))
            taken << s.to;
    return taken;
}

GroupOutcome MoveGroup(FileOps &ops, const GroupPlan &plan)
{
    return runPlan(ops, plan, &FileOps::moveFile, &FileOps::moveFile);
}

GroupOutcome RenameGroup(FileOps &ops, const GroupPlan &plan)
{
    return runPlan(ops, plan, &FileOps::renameFile, &FileOps::renameFile);
}

GroupOutcome CopyGroup(FileOps &ops, const GroupPlan &plan)
{
    GroupOutcome g;
    if (!precheck(plan, g))
        return g;
    for (qsizetype i = 0; i < plan.size(); ++i) {
        const FileOpOutcome o = ops.copyFile(plan[i].from, plan[i].to);
        if (o.ok()) {
            g.stamps << StampOf(plan[i].to);
            continue;
        }
        const QList<FileStamp> made = g.stamps;
        g = failedAt(plan[i], o);
        for (qsizetype j = i - 1; j >= 0; --j)
            if (!RemoveIfUnchanged(plan[j].to, made[j]))
                g.notPutBack << plan[j].to;
        return g;
    }
    return g;
}

GroupOutcome TrashGroup(FileOps &ops, const QStringList &paths, const TrashedOne &trashedOne)
{
    GroupOutcome g;
    for (const QString &p : paths) {
        if (!NameTaken(p)) {
            g = failedAt({p, {}}, {FileOpResult::SourceMissing, {}});
            g.failedTarget.clear();
            return g;
        }
    }
    for (const QString &p : paths) {
        const FileStamp stamp = StampOf(p);
        TrashedFile where;
        const FileOpOutcome o = ops.moveToTrash(p, &where);
        if (o.ok()) {
            if (where.originalPath.isEmpty())
                where.originalPath = p;
            g.trashed << where;
            g.stamps << stamp;
            if (trashedOne)
                trashedOne(g.trashed.size() - 1, where);
            continue;
        }
        const QList<TrashedFile> done = g.trashed;
        g = failedAt({p, {}}, o);
        for (qsizetype j = done.size() - 1; j >= 0; --j)
            if (!ops.restoreFromTrash(done[j]).ok())
                g.notPutBack << done[j].trashedPath;
        return g;
    }
    return g;
}

GroupOutcome RestoreGroup(FileOps &ops, const QList<TrashedFile> &entries)
{
    GroupOutcome g;
    for (const TrashedFile &t : entries) {
        if (!NameTaken(t.trashedPath)) {
            g = failedAt({t.trashedPath, t.originalPath}, {FileOpResult::SourceMissing, {}});
            return g;
        }
        if (NameTaken(t.originalPath)) {
            g = failedAt({t.trashedPath, t.originalPath}, {FileOpResult::TargetExists, {}});
            return g;
        }
    }
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const FileOpOutcome o = ops.restoreFromTrash(entries[i]);
        if (o.ok()) {
            g.stamps << StampOf(entries[i].originalPath);
            continue;
        }
        g = failedAt({entries[i].trashedPath, entries[i].originalPath}, o);
        // The members sent back get new places in the trash.
        g.trashed = entries;
        for (qsizetype j = i - 1; j >= 0; --j) {
            TrashedFile again;
            if (!ops.moveToTrash(entries[j].originalPath, &again).ok())
                g.notPutBack << entries[j].originalPath;
            else
                g.trashed[j] = again;
        }
        return g;
    }
    return g;
}

QString DescribeGroupFailure(const GroupOutcome &outcome)
{
    if (outcome.ok())
        return {};
    QString text =
        FileNamePart(outcome.failedMember) + QStringLiteral(": ") + describeFailure(outcome.outcome);
    if (outcome.outcome.result == FileOpResult::TargetExists && !outcome.failedTarget.isEmpty())
        text += QStringLiteral("\n") + outcome.failedTarget;
    if (!outcome.notPutBack.isEmpty())
        text +=
            QStringLiteral("\n\n元に戻せなかったファイル：\n") + outcome.notPutBack.join(QLatin1Char('\n'));
    return text;
}
