// Finishing or rolling back, at start, the entries that a crash left in the
// middle of a step. Every decision is taken from what is on the disk: a move
// whose members all arrived is finished; otherwise every member goes back to
// where the step started, a member found in both places is kept once (the
// second copy goes only when its bytes are the same). A trash goes on to its
// end, since what is already in the trash cannot be found again reliably.
#include "common/PathUtil.h"
#include "fileops/JournalOps.h"
#include "platform/FileOps.h"

namespace
{
QString recoveredText(const JournalEntry &e, bool finished)
{
    return (finished ? QStringLiteral("前回途中で終わった操作を完了しました：")
                     : QStringLiteral("前回途中で終わった操作を元に戻しました：")) +
           JournalEntryText(e);
}
// A copy cut short leaves its hidden temporary in the folder written to.
// One holding nothing but the start of a member that still exists is
// redundant and goes; anything else stays.
void removeCopyLeftovers(const JournalEntry &e, bool forward)
{
    QStringList folders, members;
    for (const JournalMember &m : e.members) {
        const QString written = FolderPart(forward ? m.to : m.from);
        if (!written.isEmpty() && !folders.contains(written))
            folders << written;
        for (const QString &p : {m.from, m.to})
            if (!p.isEmpty() && NameTaken(p))
                members << p;
    }
    for (const QString &folder : folders)
        for (const QString &part : CopyLeftovers(folder))
            for (const QString &m : members)
                if (IsPrefixOf(part, m)) {
                    RemoveIfUnchanged(part, StampOf(part));
                    break;
                }
}
} // namespace

QStringList JournalOps::recover()
{
    QList<JournalEntry> open;
    for (const JournalEntry &e : journal_.entries())
        if (e.state == JournalState::Begun || e.state == JournalState::Undoing ||
            e.state == JournalState::Redoing)
            open << e;
    QStringList texts;
    for (const JournalEntry &e : open)
        texts << recoverOne(e);
    return texts;
}

QString JournalOps::recoverOne(JournalEntry e)
{
    const bool forward = e.state != JournalState::Undoing;
    const JournalState start =
        forward ? (e.state == JournalState::Begun ? JournalState::Begun : JournalState::Undone)
                : JournalState::Done;
    const JournalState end = forward ? JournalState::Done : JournalState::Undone;
    QStringList problems;
    if (e.kind != JournalKind::Trash)
        removeCopyLeftovers(e, forward);
    auto settle = [&](JournalState state, bool finished) {
        QString text = recoveredText(e, finished);
        if (state == JournalState::Begun) {
            journal_.drop(e.id);
        } else {
            e.state = state;
            journal_.update(e);
        }
        if (!problems.isEmpty())
            text += QStringLiteral("\n\n") + problems.join(QLatin1Char('\n'));
        return text;
    };

    switch (e.kind) {
    case JournalKind::Move:
    case JournalKind::Rename: {
        bool allArrived = true;
        for (const JournalMember &m : e.members) {
            const QString &a = forward ? m.from : m.to;
            const QString &b = forward ? m.to : m.from;
            allArrived = allArrived && NameTaken(b) && !NameTaken(a);
        }
        if (allArrived) {
            for (JournalMember &m : e.members)
                m.stamp = StampOf(m.to);
            return settle(end, true);
        }
        for (const JournalMember &m : e.members) {
            const QString &a = forward ? m.from : m.to;
            const QString &b = forward ? m.to : m.from;
            const bool atA = NameTaken(a), atB = NameTaken(b);
            if (atB && !atA) {
                const FileOpOutcome o = ops_.moveFile(b, a);
                if (!o.ok())
                    problems << b + QStringLiteral(": ") + describeFailure(o);
            } else if (atA && atB) {
                // A move across file systems stopped after its copy was made.
                if (!(SameBytes(a, b) && RemoveIfUnchanged(b, StampOf(b))))
                    problems << QStringLiteral("両方に残しました：") + a + QStringLiteral(" / ") + b;
            } else if (!atA) {
                problems << QStringLiteral("見つかりません：") + a;
            }
        }
        return settle(start, false);
    }
    case JournalKind::Copy: {
        if (forward) {
            bool allMade = true;
            for (const JournalMember &m : e.members)
                allMade = allMade && NameTaken(m.to);
            if (allMade) {
                for (JournalMember &m : e.members) {
                    m.stamp = StampOf(m.to);
                    m.trashed.clear();
                    m.infoPath.clear();
                }
                return settle(end, true);
            }
            for (JournalMember &m : e.members) {
                if (NameTaken(m.to) && !(SameBytes(m.from, m.to) && RemoveIfUnchanged(m.to, StampOf(m.to))))
                    problems << QStringLiteral("残しました：") + m.to;
                m.trashed.clear();
            }
            return settle(start, false);
        }
        // Taking copies away: the rest go to the trash too. Where the ones
        // already there went was written down as each arrived.
        for (JournalMember &m : e.members) {
            if (!NameTaken(m.to)) {
                if (!m.trashed.isEmpty() && !NameTaken(m.trashed))
                    m.trashed.clear(), m.infoPath.clear();
                continue;
            }
            m.trashed.clear();
            m.infoPath.clear();
            TrashedFile where;
            const FileOpOutcome o = ops_.moveToTrash(m.to, &where);
            if (o.ok()) {
                m.trashed = where.trashedPath;
                m.infoPath = where.infoPath;
            } else {
                problems << m.to + QStringLiteral(": ") + describeFailure(o);
            }
        }
        return settle(end, true);
    }
    case JournalKind::Trash: {
        if (forward) {
            for (JournalMember &m : e.members) {
                if (!NameTaken(m.from)) {
                    if (!NameTaken(m.to))
                        m.to.clear(), m.infoPath.clear();
                    continue;
                }
                TrashedFile where;
                const FileOpOutcome o = ops_.moveToTrash(m.from, &where);
                if (o.ok()) {
                    m.stamp = StampOf(where.trashedPath);
                    m.to = where.trashedPath;
                    m.infoPath = where.infoPath;
                } else {
                    problems << m.from + QStringLiteral(": ") + describeFailure(o);
                }
            }
            return settle(end, true);
        }
        bool allBack = true;
        for (const JournalMember &m : e.members) {
            if (NameTaken(m.from) && !NameTaken(m.to))
                continue;
            const FileOpOutcome o = ops_.restoreFromTrash({m.from, m.to, m.infoPath});
            if (!o.ok()) {
                allBack = false;
                problems << m.to + QStringLiteral(": ") + describeFailure(o);
            }
        }
        return settle(allBack ? end : start, allBack);
    }
    }
    return {};
}
