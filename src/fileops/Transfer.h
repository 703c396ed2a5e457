#pragma once
// Sorting pictures: copying or moving the picture on screen into the folder
// of a transfer slot, sending it to the trash, and undoing and redoing any
// of that. The picture travels with its companions (RAW files, sidecars) when
// the settings say so, as one journal entry. The list changes only after the
// file operation succeeded, and no file is ever replaced.
#include "fileops/GroupOps.h"
#include "fileops/Journal.h"
#include "fileops/SortTally.h"

#include <QSet>
#include <QString>

class PictureList;
class Prompter;
class JournalOps;
struct JournalStep;
struct Settings;

// Folder of a slot whose target is picked at every transfer.
inline const QString kRunTimeFolder = QStringLiteral("転送先 実行時選択");

// Caption of the transfer switch for Option.Open.
QString XferCaption(bool open);

// What a transfer needs from the viewer besides the list. The viewer
// implements it; tests record the calls. Nothing here displays: a transfer
// returns what it did and the viewer shows the outcome once.
class TransferHooks
{
public:
    virtual ~TransferHooks() = default;
    virtual bool slideshowRunning() const = 0;
    // Puts the whole list into the current order again (random, name,
    // reversed, date); the index it leaves is overwritten afterwards.
    virtual void applyOrder() = 0;
    // A run-time folder is about to be asked for (the tool box retitles).
    virtual void choosingFolder() {}
    // The pause before each numbering candidate.
    virtual void wait(int ms);
    // Whether a file that an undo or redo brought back may join the list
    // (the picture filter); its folder and the companions are checked here.
    virtual bool isPicture(const QString &path) const;
};

enum class [[nodiscard]] TransferResult {
    Skipped,   // nothing to do (no picture, unbound slot, slideshow, switch off)
    Cancelled, // the user stopped it; nothing changed on disk
    Failed,    // reported to the user; nothing changed on disk
    Copied,
    Moved,
    Deleted,  // the current picture went to the trash
    Restored, // an operation was undone
    Redone,   // an undone operation was made again
};

class Transfer
{
public:
    Transfer(PictureList &list, int &PictureIndex, Settings &settings, Prompter &prompter, JournalOps &journal,
             TransferHooks &hooks);

    // Transfers the current picture through slot `index` (0-based).
    TransferResult ArBitBtnProcess(int index);
    // Undoes the newest operation that stands, whatever its kind; a move's
    // picture comes back to its place in the list.
    TransferResult revival();
    // Makes the newest undone operation again.
    TransferResult redo();
    // Brings the list in line with steps taken elsewhere (the journal
    // window reports them itself); Restored when one of them was done.
    TransferResult stepsTaken(const QList<JournalStep> &steps);
    // Sends the current picture (and its companions) to the trash after asking.
    TransferResult fDelete();

    bool canUndo() const;
    bool canRedo() const;
    // "移動 IMG_0042.JPG → keep": what the next undo acts on; empty when none.
    QString nextUndoText() const;
    // Another list became the open one: files that this list gave away are
    // no longer brought back into it by an undo.
    void listReplaced() { givenAway_.clear(); }
    JournalOps &journal() { return journal_; }

    // Start folder of the run-time folder picker; the tool box shares it.
    QString SetPath;
    // Pictures this run sent to each folder: transfers, and the undo and
    // redo of copies and moves.
    SortTally tally;

    static constexpr int kNumberingWaitMs = 100;
    static constexpr int kNumberingLimit = 2147000000;

private:
    enum class Trash { Done, Cancelled, Failed };
    TransferResult transferThrough(int index);
    // Asks about `shown`, then trashes `members` as one entry; failures are reported.
    Trash RecycleFile(const QString &shown, const QStringList &members, JournalCause cause);
    // Resolves a taken target name; false ends the transfer with `result`.
    bool resolveTakenName(TransferResult &result);
    bool askNewName(TransferResult &result);
    void reportFailure(const QString &text, const QString &why);
    void dropCurrent();
    // What an undo or redo did, brought into the list; failures are reported.
    TransferResult afterStep(const JournalStep &step, TransferResult done);
    void applyStep(const JournalStep &step);

    PictureList &list_;
    int &index_;
    Settings &settings_;
    Prompter &prompter_;
    JournalOps &journal_;
    TransferHooks &hooks_;
    // The transfer being made: the group's plan (the picture's step first)
    // and how its name was chosen.
    QStringList members_;
    GroupPlan plan_;
    JournalCause cause_ = JournalCause::Plain;
    // Files this list gave away (moved or trashed from it): an undo brings
    // them back into it.
    QSet<QString> givenAway_;
};
