#include "fileops/Transfer.h"

#include "common/PathUtil.h"
#include "common/PictureList.h"
#include "common/Prompter.h"
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
const QString kRestored = QStringLiteral("復活 完了 ！");
const QString kNameTaken = QStringLiteral("同名のファイルがありました！");
const QString kPickFolderTitle = QStringLiteral("転送先フォルダ設定");
const QString kTrashQuestion = QStringLiteral("このファイルをごみ箱に移動しますか？\n\n");
const QString kTrashFailed = QStringLiteral("ごみ箱に移動できませんでした。\n\n");
const QString kUndoFailed = QStringLiteral("移動を取り消せませんでした。\n\n");
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

Transfer::Transfer(PictureList &list, int &PictureIndex, Settings &settings, Prompter &prompter,
                   FileOps &fileOps, TransferHooks &hooks)
    : list_(list), index_(PictureIndex), settings_(settings), prompter_(prompter), fileOps_(fileOps),
      hooks_(hooks)
{
}

void Transfer::clearUndo()
{
    source_.clear();
    target_.clear();
}

TransferResult Transfer::ArBitBtnProcess(int index)
{
    const TransferResult result = attempt(index);
    // Only a completed move leaves something to take back.
    if (result != TransferResult::Moved)
        clearUndo();
    return result;
}

TransferResult Transfer::attempt(int index)
{
    clearUndo();
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
    source_ = list_.at(index_);
    target_ = WithBackslash(folder) + FileNamePart(source_);
    const bool copy = settings_.Option.Copy;

    // A picture removed behind our back: say so and drop it, as the display
    // drops vanished files.
    if (!PathExists(source_)) {
        reportFailure(copy ? kCopyFailed : kMoveFailed, {FileOpResult::SourceMissing, {}});
        dropCurrent();
        return TransferResult::Failed;
    }

    if (NameTaken(target_)) {
        TransferResult result = TransferResult::Cancelled;
        if (!resolveTakenName(result))
            return result;
    }

    const FileOpOutcome outcome =
        copy ? fileOps_.copyFile(source_, target_) : fileOps_.moveFile(source_, target_);
    if (!outcome.ok()) {
        reportFailure(copy ? kCopyFailed : kMoveFailed, outcome);
        if (outcome.result == FileOpResult::SourceMissing && !PathExists(source_))
            dropCurrent();
        return TransferResult::Failed;
    }
    if (copy) {
        ++index_; // past the last one the display starts again at the first
        prompter_.notice(kCopied);
        return TransferResult::Copied;
    }
    list_.removeAt(index_);
    prompter_.notice(kMoved);
    return TransferResult::Moved;
}

bool Transfer::resolveTakenName(TransferResult &result)
{
    if (settings_.Option.Numbering) {
        const QString folder = FolderPart(target_);
        const QString name = FileNamePart(target_);
        const QString ext = FileExt(name);
        const QString base = name.left(name.size() - ext.size());
        for (qint64 i = 1;; ++i) {
            hooks_.wait(kNumberingWaitMs);
            if (i > kNumberingLimit) {
                prompter_.captionedError(kErrorCaption, kNumberingError);
                result = TransferResult::Failed;
                return false;
            }
            const QString candidate = folder + base + NumberTag(int(i)) + ext;
            if (!NameTaken(candidate)) {
                target_ = candidate;
                return true;
            }
        }
    }

    prompter_.beep();
    const SameNameChoice choice = prompter_.compareSameName(source_, target_);
    // When the file already there is the picture itself (its own folder
    // spelled another way, or a second hard link), either trash choice
    // would trash the picture.
    if ((choice == SameNameChoice::DeleteSource || choice == SameNameChoice::DeleteTarget) &&
        SameFile(source_, target_)) {
        prompter_.beep();
        prompter_.captionedError(kErrorCaption, (settings_.Option.Copy ? kCopyFailed : kMoveFailed) +
                                                    QStringLiteral("\n\n") + kSameFile);
        result = TransferResult::Failed;
        return false;
    }
    switch (choice) {
    case SameNameChoice::DeleteSource:
        result = fDelete();
        return false;
    case SameNameChoice::DeleteTarget:
        switch (RecycleFile(target_)) {
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
    const QString folder = FolderPart(target_);
    QString taken = FileNamePart(target_);
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
        if (NameTaken(folder + name)) {
            prompter_.captionedError(kErrorCaption, kNameTaken);
            taken = name;
            continue;
        }
        target_ = folder + name;
        return true;
    }
}

TransferResult Transfer::revival()
{
    if (!canUndo())
        return TransferResult::Skipped;
    const FileOpOutcome outcome = SameFile(target_, source_) ? FileOpOutcome{FileOpResult::TargetExists, {}}
                                                             : fileOps_.moveFile(target_, source_);
    if (!outcome.ok()) {
        // Nothing was replaced and the list is as before; the record stays
        // so that the user can try again once the obstacle is gone.
        prompter_.beep();
        prompter_.captionedError(kErrorCaption,
                                 kUndoFailed + describeFailure(outcome) + QStringLiteral("\n\n") + source_);
        return TransferResult::Failed;
    }
    list_.setSorted(true);
    list_.add(source_);
    list_.setSorted(false);
    const int saved = index_;
    hooks_.applyOrder();
    index_ = saved;
    prompter_.notice(kRestored);
    clearUndo();
    return TransferResult::Restored;
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
    switch (RecycleFile(list_.at(index_))) {
    case Trash::Cancelled:
        return TransferResult::Cancelled;
    case Trash::Failed:
        return TransferResult::Failed;
    case Trash::Done:
        break;
    }
    list_.removeAt(index_);
    return TransferResult::Deleted;
}

Transfer::Trash Transfer::RecycleFile(const QString &path)
{
    if (!prompter_.confirm(kTrashQuestion + path))
        return Trash::Cancelled;
    const FileOpOutcome outcome = fileOps_.moveToTrash(path);
    // Already gone is as good as trashed: the name is free and the entry
    // would be dropped anyway.
    if (outcome.ok() || outcome.result == FileOpResult::SourceMissing)
        return Trash::Done;
    prompter_.beep();
    prompter_.captionedError(kErrorCaption,
                             kTrashFailed + describeFailure(outcome) + QStringLiteral("\n\n") + path);
    return Trash::Failed;
}

void Transfer::reportFailure(const QString &text, const FileOpOutcome &outcome)
{
    prompter_.beep();
    prompter_.captionedError(kErrorCaption, text + QStringLiteral("\n\n") + describeFailure(outcome));
}

void Transfer::dropCurrent()
{
    list_.removeAt(index_);
}
