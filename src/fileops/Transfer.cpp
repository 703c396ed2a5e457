#include "fileops/Transfer.h"

#include "common/PathUtil.h"
#include "common/PictureList.h"
#include "common/Prompter.h"
#include "fileops/FileGroup.h"
#include "fileops/JournalOps.h"
#include "platform/FileOps.h"
#include "platform/FileTree.h"
#include "platform/SameFile.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace
{
const QString kErrorCaption = QStringLiteral("エラー");
const QString kNoFolder =
    QStringLiteral("複写・移動先のフォルダーがありません。\n\n\u3000\u3000複写・移動を中止しました。");
const QString kNumberingError = QStringLiteral("連番エラーです。");
const QString kCopyFailed = QStringLiteral("画像複写に失敗しました。\n\n確認してください。");
const QString kMoveFailed = QStringLiteral("画像移動に失敗しました。\n\n確認してください。");
const QString kCopied = QStringLiteral("複写 完了！");
const QString kMoved = QStringLiteral("移動 完了 ！");
const QString kNameTaken = QStringLiteral("同名のファイルがありました！");
const QString kPickFolderTitle = QStringLiteral("転送先フォルダ設定");
const QString kTrashQuestion = QStringLiteral("このファイルをごみ箱に移動しますか？\n\n");
const QString kTrashFailed = QStringLiteral("ごみ箱に移動できませんでした。\n\n");
const QString kSameFile = QStringLiteral("移動・複写先は元の画像そのものです。");

bool validFileName(const QString &name)
{
    // A leading "." would hide the picture.
    return !name.isEmpty() && !name.startsWith(QLatin1Char('.')) && !name.contains(QLatin1Char('/')) &&
           !name.contains(QChar(0));
}
} // namespace

QString XferCaption(bool open)
{
    return open ? QStringLiteral("転送可能") : QStringLiteral("転送不可");
}

void TransferHooks::wait(int ms)
{
    // The pause keeps numbered names apart in time; the window goes on
    // painting and collecting input meanwhile.
    if (QCoreApplication::instance()) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
        return;
    }
    QThread::msleep(ulong(ms));
}

bool TransferHooks::isPicture(const QString &) const
{
    return true;
}

Transfer::Transfer(PictureList &list, int &PictureIndex, Settings &settings, Prompter &prompter,
                   JournalOps &journal, TransferHooks &hooks)
    : list_(list), index_(PictureIndex), settings_(settings), prompter_(prompter), journal_(journal),
      hooks_(hooks)
{
}

bool Transfer::canUndo() const
{
    return journal_.canUndo();
}

bool Transfer::canRedo() const
{
    return journal_.canRedo();
}

QString Transfer::nextUndoText() const
{
    return journal_.nextUndoText();
}

TransferResult Transfer::ArBitBtnProcess(int index)
{
    const TransferResult result = transferThrough(index);
    if (result == TransferResult::Copied || result == TransferResult::Moved)
        tally.sent(SlotDestination(settings_, index));
    return result;
}

TransferResult Transfer::transferThrough(int index)
{
    if (index < 0 || index >= kMaxTransferSlots || index >= settings_.Option.nButton)
        return TransferResult::Skipped;
    TransferSlot &slot = settings_.TransferSlots[size_t(index)];
    QString folder = slot.Folder;
    if (list_.isEmpty() || folder.isEmpty() || hooks_.slideshowRunning() || !settings_.Option.Open)
        return TransferResult::Skipped;

    if (folder == kRunTimeFolder) {
        if (!slot.ChosenFolder.isEmpty() && IsFolder(slot.ChosenFolder))
            SetPath = slot.ChosenFolder;
        hooks_.choosingFolder();
        const QString chosen = prompter_.chooseFolder(kPickFolderTitle, SetPath);
        if (chosen.isEmpty())
            return TransferResult::Cancelled;
        folder = WithBackslash(chosen);
        slot.ChosenFolder = folder;
    }

    // A relative folder would depend on wherever the viewer was started.
    if (!QDir::isAbsolutePath(folder) || !IsFolder(folder)) {
        prompter_.beep();
        prompter_.captionedError(kErrorCaption, kNoFolder);
        return TransferResult::Failed;
    }

    const int n = list_.count();
    if (index_ >= n)
        index_ = 0;
    else if (index_ < 0)
        index_ = n - 1;
    const QString source = list_.at(index_);
    const bool copy = settings_.Option.Copy;

    // A picture removed behind our back: say so and drop it, as the display
    // drops vanished files.
    if (!PathExists(source)) {
        reportFailure(copy ? kCopyFailed : kMoveFailed, describeFailure({FileOpResult::SourceMissing, {}}));
        dropCurrent();
        return TransferResult::Failed;
    }

    members_ = GroupFor(source, settings_.Option.Companions);
    plan_ = PlanGroup(members_, WithBackslash(folder), FileNamePart(source));
    cause_ = JournalCause::Plain;
    if (FirstClash(plan_) >= 0) {
        TransferResult result = TransferResult::Cancelled;
        if (!resolveTakenName(result))
            return result;
    }

    const GroupOutcome outcome = copy ? journal_.copy(plan_, cause_) : journal_.move(plan_, cause_);
    if (!outcome.ok()) {
        reportFailure(copy ? kCopyFailed : kMoveFailed, members_.size() > 1 ? DescribeGroupFailure(outcome)
                                                                            : describeFailure(outcome.outcome));
        if (outcome.outcome.result == FileOpResult::SourceMissing && !PathExists(source))
            dropCurrent();
        return TransferResult::Failed;
    }
    if (copy) {
        ++index_; // past the last one the display starts again at the first
        prompter_.notice(kCopied);
        return TransferResult::Copied;
    }
    for (const QString &m : members_)
        givenAway_.insert(m);
    list_.removeAt(index_);
    prompter_.notice(kMoved);
    return TransferResult::Moved;
}

bool Transfer::resolveTakenName(TransferResult &result)
{
    const QString folder = FolderPart(plan_.first().to);
    if (settings_.Option.Numbering) {
        // Every member gets the same number: the first at which all are free.
        const int number = FreeGroupNumber(members_, folder, kNumberingLimit,
                                           [this] { hooks_.wait(kNumberingWaitMs); });
        if (number <= 0) {
            prompter_.captionedError(kErrorCaption, kNumberingError);
            result = TransferResult::Failed;
            return false;
        }
        plan_ = NumberedPlan(members_, folder, number);
        cause_ = JournalCause::Numbered;
        return true;
    }

    // The dialog compares the member whose name is taken.
    const GroupStep clash = plan_.at(FirstClash(plan_));
    prompter_.beep();
    const SameNameChoice choice = prompter_.compareSameName(clash.from, clash.to);
    // When the file already there is the picture itself (its own folder
    // spelled another way, or a second hard link), either trash choice
    // would trash the picture.
    if ((choice == SameNameChoice::DeleteSource || choice == SameNameChoice::DeleteTarget) &&
        SameFile(clash.from, clash.to)) {
        prompter_.beep();
        prompter_.captionedError(kErrorCaption, (settings_.Option.Copy ? kCopyFailed : kMoveFailed) +
                                                    QStringLiteral("\n\n") + kSameFile);
        result = TransferResult::Failed;
        return false;
    }
    switch (choice) {
    case SameNameChoice::DeleteSource:
        switch (RecycleFile(members_.first(), members_, JournalCause::TrashSource)) {
        case Trash::Done:
            for (const QString &m : members_)
                givenAway_.insert(m);
            list_.removeAt(index_);
            result = TransferResult::Deleted;
            break;
        case Trash::Cancelled:
            result = TransferResult::Cancelled;
            break;
        case Trash::Failed:
            result = TransferResult::Failed;
            break;
        }
        return false;
    case SameNameChoice::DeleteTarget:
        // The files in the way go to the trash together, as one entry.
        switch (RecycleFile(clash.to, TakenTargets(plan_), JournalCause::TrashTarget)) {
        case Trash::Done:
            return true;
        case Trash::Cancelled:
            result = TransferResult::Cancelled;
            return false;
        case Trash::Failed:
            result = TransferResult::Failed;
            return false;
        }
        return false;
    case SameNameChoice::Rename:
        return askNewName(result);
    case SameNameChoice::Cancel:
        break;
    }
    result = TransferResult::Cancelled;
    return false;
}

bool Transfer::askNewName(TransferResult &result)
{
    const QString folder = FolderPart(plan_.first().to);
    QString taken = FileNamePart(plan_.first().to);
    const QString ext = FileExt(taken);
    for (;;) {
        QString name = prompter_.askNewName(folder, taken);
        if (name.isEmpty()) {
            result = TransferResult::Cancelled;
            return false;
        }
        if (FileExt(name).isEmpty())
            name += ext;
        if (!validFileName(name)) {
            prompter_.beep();
            prompter_.captionedError(kErrorCaption, describeFailure({FileOpResult::InvalidName, {}}));
            continue;
        }
        const GroupPlan plan = PlanGroup(members_, folder, name);
        if (FirstClash(plan) >= 0) {
            prompter_.captionedError(kErrorCaption, kNameTaken);
            taken = name;
            continue;
        }
        plan_ = plan;
        cause_ = JournalCause::NewName;
        return true;
    }
}

TransferResult Transfer::revival()
{
    if (!journal_.canUndo())
        return TransferResult::Skipped;
    const QString from = TallyFolder(journal_.undoTarget());
    const TransferResult result = afterStep(journal_.undo(), TransferResult::Restored);
    if (result == TransferResult::Restored)
        tally.returned(from);
    return result;
}

TransferResult Transfer::redo()
{
    if (!journal_.canRedo())
        return TransferResult::Skipped;
    const QString into = TallyFolder(journal_.redoTarget());
    const TransferResult result = afterStep(journal_.redo(), TransferResult::Redone);
    if (result == TransferResult::Redone)
        tally.sent(into);
    return result;
}

TransferResult Transfer::stepsTaken(const QList<JournalStep> &steps)
{
    TransferResult result = TransferResult::Skipped;
    for (const JournalStep &step : steps)
        if (step.ok()) {
            applyStep(step);
            tally.returned(TallyFolder(journal_.journal().find(step.id)));
            result = TransferResult::Restored;
        }
    return result;
}

TransferResult Transfer::afterStep(const JournalStep &step, TransferResult done)
{
    if (step.status == JournalStep::Status::Nothing)
        return TransferResult::Skipped;
    if (!step.ok()) {
        // Nothing was replaced and the list is as before; the entry stays
        // so that the user can try again once the obstacle is gone.
        prompter_.beep();
        prompter_.captionedError(kErrorCaption, step.text);
        return TransferResult::Failed;
    }
    applyStep(step);
    prompter_.notice(step.text);
    return done;
}

void Transfer::applyStep(const JournalStep &step)
{
    QStringList items = list_.items();
    // Files gone from where the list had them: a rename taken back keeps its
    // place; anything else leaves the list.
    for (qsizetype i = 0; i < step.vanished.size(); ++i) {
        const qsizetype at = items.indexOf(step.vanished[i]);
        if (at < 0)
            continue;
        const QString back = step.appeared.value(i);
        if (!back.isEmpty() && FolderPart(back) == FolderPart(step.vanished[i]) && !items.contains(back)) {
            items[at] = back;
        } else {
            items.removeAt(at);
            if (at < index_)
                --index_;
        }
    }
    // Files back where they were: they join the list when it gave them away
    // or holds pictures of their folder; companions stay hidden behind their
    // picture.
    QSet<QString> folders;
    for (const QString &p : items)
        folders.insert(FolderPart(p));
    QStringList joining;
    for (const QString &p : step.appeared)
        if (!items.contains(p) && !joining.contains(p) &&
            (givenAway_.contains(p) || (folders.contains(FolderPart(p)) && hooks_.isPicture(p))))
            joining << p;
    if (!joining.isEmpty()) {
        const QStringList visible = HideCompanions(items + joining);
        const QSet<QString> kept(visible.begin(), visible.end());
        joining.removeIf([&](const QString &p) { return !kept.contains(p); });
    }
    for (const QString &p : joining)
        givenAway_.remove(p);
    list_.replace(items);
    if (!joining.isEmpty()) {
        list_.setSorted(true);
        for (const QString &p : joining)
            list_.add(p);
        list_.setSorted(false);
        hooks_.applyOrder();
    }
    // The picture that came back is shown; otherwise the place stays.
    const int back = step.appeared.isEmpty() ? -1 : int(list_.items().indexOf(step.appeared.first()));
    if (back >= 0)
        index_ = back;
}

TransferResult Transfer::fDelete()
{
    if (hooks_.slideshowRunning() || list_.isEmpty())
        return TransferResult::Skipped;
    const int n = list_.count();
    if (index_ >= n)
        index_ = 0;
    else if (index_ < 0)
        index_ = n - 1;
    const QString path = list_.at(index_);
    const QStringList members = GroupFor(path, settings_.Option.Companions);
    switch (RecycleFile(path, members, JournalCause::Plain)) {
    case Trash::Cancelled:
        return TransferResult::Cancelled;
    case Trash::Failed:
        return TransferResult::Failed;
    case Trash::Done:
        break;
    }
    for (const QString &m : members)
        givenAway_.insert(m);
    list_.removeAt(index_);
    return TransferResult::Deleted;
}

Transfer::Trash Transfer::RecycleFile(const QString &shown, const QStringList &members, JournalCause cause)
{
    if (!prompter_.confirm(kTrashQuestion + shown))
        return Trash::Cancelled;
    // Already gone is as good as trashed: the name is free and the entry
    // would be dropped anyway.
    if (!NameTaken(shown))
        return Trash::Done;
    const GroupOutcome outcome = journal_.trash(members, cause);
    if (outcome.ok())
        return Trash::Done;
    prompter_.beep();
    prompter_.captionedError(kErrorCaption, kTrashFailed +
                                                (members.size() > 1 ? DescribeGroupFailure(outcome)
                                                                    : describeFailure(outcome.outcome)) +
                                                QStringLiteral("\n\n") + shown);
    return Trash::Failed;
}

void Transfer::reportFailure(const QString &text, const QString &why)
{
    prompter_.beep();
    prompter_.captionedError(kErrorCaption, text + QStringLiteral("\n\n") + why);
}

void Transfer::dropCurrent()
{
    list_.removeAt(index_);
}
