#pragma once
// Sorting pictures: copying or moving the picture on screen into the folder
// of a transfer slot, taking the last move back, and sending the picture to
// the trash. The list changes only after the file operation succeeded, and
// no file is ever replaced.
#include <QString>

class PictureList;
class Prompter;
class FileOps;
struct FileOpOutcome;
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
};

enum class [[nodiscard]] TransferResult {
    Skipped,   // nothing to do (no picture, unbound slot, slideshow, switch off)
    Cancelled, // the user stopped it; nothing changed on disk
    Failed,    // reported to the user; nothing changed on disk
    Copied,
    Moved,
    Deleted,  // the current picture went to the trash
    Restored, // the last move was taken back
};

class Transfer
{
public:
    Transfer(PictureList &list, int &PictureIndex, Settings &settings, Prompter &prompter, FileOps &fileOps,
             TransferHooks &hooks);

    // Transfers the current picture through slot `index` (0-based).
    TransferResult ArBitBtnProcess(int index);
    // Takes the last move back, when there is one.
    TransferResult revival();
    // Sends the current picture to the trash after asking.
    TransferResult fDelete();

    // The undo record: set by a completed move, empty otherwise (the undo
    // command is enabled exactly when canUndo()).
    const QString &TransferSource() const { return source_; }
    const QString &TransferTarget() const { return target_; }
    bool canUndo() const { return !source_.isEmpty() && !target_.isEmpty(); }
    // Forgets the undo record (first show of the main window).
    void clearUndo();

    // Start folder of the run-time folder picker; the tool box shares it.
    QString SetPath;

    static constexpr int kNumberingWaitMs = 100;
    static constexpr int kNumberingLimit = 2147000000;

private:
    enum class Trash { Done, Cancelled, Failed };
    // Asks, then trashes `path`; failures are reported.
    Trash RecycleFile(const QString &path);
    TransferResult attempt(int index);
    // Resolves a taken target name; false ends the transfer with `result`.
    bool resolveTakenName(TransferResult &result);
    bool askNewName(TransferResult &result);
    void reportFailure(const QString &text, const FileOpOutcome &outcome);
    void dropCurrent();

    PictureList &list_;
    int &index_;
    Settings &settings_;
    Prompter &prompter_;
    FileOps &fileOps_;
    TransferHooks &hooks_;
    QString source_;
    QString target_;
};
