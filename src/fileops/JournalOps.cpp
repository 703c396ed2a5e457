#include "fileops/JournalOps.h"

#include "common/PathUtil.h"
#include "fileops/FileGroup.h"
#include "platform/FileOps.h"

namespace
{
GroupPlan planOf(const JournalEntry &e)
{
    GroupPlan plan;
    for (const JournalMember &m : e.members)
        plan << GroupStep{m.from, m.to};
    return plan;
}

QList<TrashedFile> inTrash(const JournalEntry &e)
{
    QList<TrashedFile> list;
    for (const JournalMember &m : e.members)
        list << TrashedFile{m.from, m.to, m.infoPath};
    return list;
}

QString takenText(const QString &taken, const QString &file)
{
    return QStringLiteral("同じ名前のファイルがあるため、元に戻せません。\n\n") + taken +
           QStringLiteral("\n（戻すファイル：") + file + QStringLiteral("）");
}

QString goneText(const QString &path)
{
    return QStringLiteral("ファイルが見つからないため、元に戻せません。\n\n") + path;
}

QString changedCopyText(const QString &path)
{
    return QStringLiteral("複写したファイルがその後変更されているため、ごみ箱に移さず残しました。\n\n") +
           path;
}

QString folderName(const QString &path)
{
    QString folder = FolderPart(path);
    if (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return FileNamePart(folder);
}
} // namespace

QString JournalKindName(JournalKind kind)
{
    switch (kind) {
    case JournalKind::Copy:
        return QStringLiteral("複写");
    case JournalKind::Move:
        return QStringLiteral("移動");
    case JournalKind::Trash:
        return QStringLiteral("削除");
    case JournalKind::Rename:
        return QStringLiteral("名前変更");
    }
    return {};
}

QString JournalEntryText(const JournalEntry &e)
{
    if (e.members.isEmpty())
        return JournalKindName(e.kind);
    const JournalMember &m = e.members.first();
    QString text = JournalKindName(e.kind) + QLatin1Char(' ') + FileNamePart(m.from);
    switch (e.kind) {
    case JournalKind::Copy:
    case JournalKind::Move:
        text += QStringLiteral(" → ") + folderName(m.to);
        if (FileNamePart(m.to) != FileNamePart(m.from))
            text += QLatin1Char('/') + FileNamePart(m.to);
        break;
    case JournalKind::Rename:
        text += QStringLiteral(" → ") + FileNamePart(m.to);
        break;
    case JournalKind::Trash:
        break;
    }
    return text;
}

GroupOutcome RenamePicture(JournalOps &ops, const QString &from, const QString &newName, bool companionsToo)
{
    const GroupPlan plan = PlanGroup(GroupFor(from, companionsToo), FolderPart(from), newName);
    if (const int clash = FirstClash(plan); clash >= 0) {
        GroupOutcome refused;
        refused.outcome = {FileOpResult::TargetExists, {}};
        refused.failedMember = plan[clash].from;
        refused.failedTarget = plan[clash].to;
        return refused;
    }
    return ops.rename(plan);
}

JournalOps::JournalOps(Journal &journal, FileOps &ops) : journal_(journal), ops_(ops) {}

GroupOutcome JournalOps::record(JournalKind kind, JournalCause cause, const GroupPlan &plan)
{
    if (plan.isEmpty())
        return {}; // nothing to do, nothing to remember
    JournalEntry e;
    e.kind = kind;
    e.cause = cause;
    for (const GroupStep &s : plan)
        e.members << JournalMember{s.from, s.to, {}, {}, {}};
    const qint64 id = journal_.begin(e);
    e = *journal_.find(id);

    GroupOutcome g;
    switch (kind) {
    case JournalKind::Move:
        g = MoveGroup(ops_, plan);
        break;
    case JournalKind::Rename:
        g = RenameGroup(ops_, plan);
        break;
    case JournalKind::Copy:
        g = CopyGroup(ops_, plan);
        break;
    case JournalKind::Trash: {
        QStringList paths;
        for (const GroupStep &s : plan)
            paths << s.from;
        g = TrashGroup(ops_, paths, [&](qsizetype i, const TrashedFile &where) {
            e.members[i].to = where.trashedPath;
            e.members[i].infoPath = where.infoPath;
            journal_.update(e);
        });
        break;
    }
    }
    if (!g.ok()) {
        if (g.notPutBack.isEmpty()) {
            journal_.drop(id);
            return g;
        }
        // Members stuck where the failed operation put them stay in the
        // journal, so that undo can still bring them back.
        QList<JournalMember> stuck;
        for (const JournalMember &m : e.members)
            if (g.notPutBack.contains(m.to))
                stuck << JournalMember{m.from, m.to, {}, {}, StampOf(m.to)};
        e.members = stuck;
        e.state = JournalState::Done;
        journal_.update(e);
        return g;
    }
    for (qsizetype i = 0; i < e.members.size(); ++i) {
        e.members[i].stamp = g.stamps.value(i);
        if (kind == JournalKind::Trash) {
            e.members[i].to = g.trashed[i].trashedPath;
            e.members[i].infoPath = g.trashed[i].infoPath;
        }
    }
    e.state = JournalState::Done;
    journal_.update(e);
    lastId_ = id;
    return g;
}

GroupOutcome JournalOps::move(const GroupPlan &plan, JournalCause cause)
{
    return record(JournalKind::Move, cause, plan);
}

GroupOutcome JournalOps::copy(const GroupPlan &plan, JournalCause cause)
{
    return record(JournalKind::Copy, cause, plan);
}

GroupOutcome JournalOps::rename(const GroupPlan &plan)
{
    return record(JournalKind::Rename, JournalCause::Plain, plan);
}

GroupOutcome JournalOps::trash(const QStringList &members, JournalCause cause)
{
    GroupPlan plan;
    for (const QString &m : members)
        plan << GroupStep{m, {}};
    return record(JournalKind::Trash, cause, plan);
}

const JournalEntry *JournalOps::undoTarget() const
{
    const QList<JournalEntry> &all = journal_.entries();
    for (qsizetype i = all.size() - 1; i >= 0; --i)
        if (all[i].state == JournalState::Done)
            return &all[i];
    return nullptr;
}

const JournalEntry *JournalOps::redoTarget() const
{
    const QList<JournalEntry> &all = journal_.entries();
    const JournalEntry *oldest = nullptr;
    for (qsizetype i = all.size() - 1; i >= 0 && all[i].state == JournalState::Undone; --i)
        oldest = &all[i];
    return oldest;
}

QString JournalOps::nextUndoText() const
{
    const JournalEntry *e = undoTarget();
    return e ? JournalEntryText(*e) : QString();
}

QString JournalOps::nextRedoText() const
{
    const JournalEntry *e = redoTarget();
    return e ? JournalEntryText(*e) : QString();
}

QString JournalOps::whyNotReversible(const JournalEntry &e) const
{
    for (const JournalMember &m : e.members) {
        switch (e.kind) {
        case JournalKind::Move:
        case JournalKind::Rename:
            if (!NameTaken(m.to))
                return goneText(m.to);
            if (NameTaken(m.from))
                return takenText(m.from, m.to);
            break;
        case JournalKind::Copy:
            // A copy already gone needs nothing; one changed since is kept.
            if (NameTaken(m.to) && StampOf(m.to) != m.stamp)
                return changedCopyText(m.to);
            break;
        case JournalKind::Trash:
            if (m.to.isEmpty())
                return QStringLiteral("ごみ箱のどこにあるか分からないため、元に戻せません。\n\n") + m.from;
            if (!NameTaken(m.to))
                return goneText(m.to);
            if (NameTaken(m.from))
                return takenText(m.from, m.to);
            break;
        }
    }
    return {};
}

// Why the entry cannot be made again; empty when it can.
QString JournalOps::blockedForward(const JournalEntry &e) const
{
    for (const JournalMember &m : e.members) {
        if (!NameTaken(m.from) && !(e.kind == JournalKind::Copy && !m.trashed.isEmpty()))
            return goneText(m.from);
        if (e.kind != JournalKind::Trash && NameTaken(m.to))
            return takenText(m.to, m.from);
    }
    return {};
}

JournalStep JournalOps::undo()
{
    const JournalEntry *e = undoTarget();
    if (!e)
        return {};
    return reverse(*e);
}

JournalStep JournalOps::redo()
{
    const JournalEntry *e = redoTarget();
    if (!e)
        return {};
    return remake(*e);
}

QList<JournalStep> JournalOps::undoDownTo(qint64 id)
{
    QList<JournalStep> steps;
    const JournalEntry *target = journal_.find(id);
    if (!target || target->state != JournalState::Done)
        return steps;
    for (;;) {
        const JournalEntry *e = undoTarget();
        if (!e || e->id < id)
            break;
        const qint64 current = e->id;
        steps << reverse(*e);
        if (!steps.last().ok() || current == id)
            break;
    }
    return steps;
}

JournalStep JournalOps::reverse(JournalEntry e)
{
    JournalStep step;
    step.id = e.id;
    if (e.kind == JournalKind::Copy) {
        // Copies gone already need nothing; a changed one stops the step.
        for (const JournalMember &m : e.members) {
            if (NameTaken(m.to) && StampOf(m.to) != m.stamp) {
                step.status = JournalStep::Status::Blocked;
                step.text = changedCopyText(m.to);
                return step;
            }
        }
    } else if (const QString why = whyNotReversible(e); !why.isEmpty()) {
        step.status = JournalStep::Status::Blocked;
        step.text = why;
        return step;
    }

    e.state = JournalState::Undoing;
    journal_.update(e);
    GroupOutcome g;
    switch (e.kind) {
    case JournalKind::Move:
        g = MoveGroup(ops_, Reversed(planOf(e)));
        break;
    case JournalKind::Rename:
        g = RenameGroup(ops_, Reversed(planOf(e)));
        break;
    case JournalKind::Trash:
        g = RestoreGroup(ops_, inTrash(e));
        if (!g.ok() && !g.trashed.isEmpty())
            for (qsizetype i = 0; i < e.members.size(); ++i) {
                e.members[i].to = g.trashed[i].trashedPath;
                e.members[i].infoPath = g.trashed[i].infoPath;
            }
        break;
    case JournalKind::Copy: {
        QStringList copies;
        QList<qsizetype> at;
        for (qsizetype i = 0; i < e.members.size(); ++i)
            if (NameTaken(e.members[i].to)) {
                copies << e.members[i].to;
                at << i;
            }
        g = TrashGroup(ops_, copies, [&](qsizetype k, const TrashedFile &where) {
            e.members[at[k]].trashed = where.trashedPath;
            e.members[at[k]].infoPath = where.infoPath;
            journal_.update(e);
        });
        if (g.ok())
            for (qsizetype k = 0; k < at.size(); ++k) {
                e.members[at[k]].trashed = g.trashed[k].trashedPath;
                e.members[at[k]].infoPath = g.trashed[k].infoPath;
            }
        break;
    }
    }
    if (!g.ok()) {
        e.state = JournalState::Done;
        journal_.update(e);
        step.status = JournalStep::Status::Failed;
        step.text = QStringLiteral("元に戻せませんでした。\n\n") + DescribeGroupFailure(g);
        return step;
    }
    e.state = JournalState::Undone;
    journal_.update(e);
    step.status = JournalStep::Status::Done;
    for (const JournalMember &m : e.members) {
        if (e.kind != JournalKind::Copy)
            step.appeared << m.from;
        if (e.kind != JournalKind::Trash)
            step.vanished << m.to;
    }
    switch (e.kind) {
    case JournalKind::Move:
        step.text = QStringLiteral("復活 完了 ！");
        break;
    case JournalKind::Copy:
        step.text = QStringLiteral("複写を取り消しました（ごみ箱へ）：") + FileNamePart(e.members.first().to);
        break;
    case JournalKind::Trash:
        step.text = QStringLiteral("ごみ箱から戻しました：") + FileNamePart(e.members.first().from);
        break;
    case JournalKind::Rename:
        step.text = QStringLiteral("名前を戻しました：") + FileNamePart(e.members.first().to) +
                    QStringLiteral(" → ") + FileNamePart(e.members.first().from);
        break;
    }
    return step;
}

JournalStep JournalOps::remake(JournalEntry e)
{
    JournalStep step;
    step.id = e.id;
    if (const QString why = blockedForward(e); !why.isEmpty()) {
        step.status = JournalStep::Status::Blocked;
        step.text = why;
        return step;
    }
    e.state = JournalState::Redoing;
    journal_.update(e);
    GroupOutcome g;
    switch (e.kind) {
    case JournalKind::Move:
        g = MoveGroup(ops_, planOf(e));
        break;
    case JournalKind::Rename:
        g = RenameGroup(ops_, planOf(e));
        break;
    case JournalKind::Trash: {
        QStringList paths;
        for (const JournalMember &m : e.members)
            paths << m.from;
        g = TrashGroup(ops_, paths, [&](qsizetype i, const TrashedFile &where) {
            e.members[i].to = where.trashedPath;
            e.members[i].infoPath = where.infoPath;
            journal_.update(e);
        });
        if (g.ok())
            for (qsizetype i = 0; i < e.members.size(); ++i) {
                e.members[i].to = g.trashed[i].trashedPath;
                e.members[i].infoPath = g.trashed[i].infoPath;
            }
        break;
    }
    case JournalKind::Copy: {
        // The copies come back from the trash when they are all there;
        // otherwise they are made again.
        bool allInTrash = true;
        QList<TrashedFile> back;
        for (const JournalMember &m : e.members) {
            allInTrash = allInTrash && !m.trashed.isEmpty() && NameTaken(m.trashed);
            back << TrashedFile{m.to, m.trashed, m.infoPath};
        }
        g = allInTrash ? RestoreGroup(ops_, back) : CopyGroup(ops_, planOf(e));
        break;
    }
    }
    if (!g.ok()) {
        e.state = JournalState::Undone;
        journal_.update(e);
        step.status = JournalStep::Status::Failed;
        step.text = QStringLiteral("やり直せませんでした。\n\n") + DescribeGroupFailure(g);
        return step;
    }
    for (qsizetype i = 0; i < e.members.size(); ++i) {
        JournalMember &m = e.members[i];
        if (e.kind != JournalKind::Trash)
            m.stamp = StampOf(m.to);
        else
            m.stamp = g.stamps.value(i);
        if (e.kind == JournalKind::Copy) {
            m.trashed.clear();
            m.infoPath.clear();
        }
    }
    e.state = JournalState::Done;
    journal_.update(e);
    step.status = JournalStep::Status::Done;
    for (const JournalMember &m : e.members) {
        if (e.kind != JournalKind::Trash)
            step.appeared << m.to;
        if (e.kind != JournalKind::Copy)
            step.vanished << m.from;
    }
    step.text = QStringLiteral("やり直しました：") + JournalEntryText(e);
    return step;
}
