#pragma once
// The one way logic talks to the user: message boxes, beeps, notices and the
// status bar. The main window implements it with Qt; tests script it.
#include <QString>

// What the user decided when a transferred picture met a file of the same
// name in the target folder. The values are the dialog's own results.
enum class SameNameChoice {
    Rename = 6,       // "変更後、実行": ask for a new name, then transfer
    Cancel = 2,       // "キャンセル" or the dialog closed
    DeleteSource = 3, // "元の画像を削除して中止"
    DeleteTarget = 5, // "先の画像を削除して実行"
};

class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual void beep() = 0;
    // Error box: error icon, one OK button.
    virtual void error(const QString &text) = 0;
    // Error box under a caption of its own instead of the program's name.
    virtual void captionedError(const QString &caption, const QString &text)
    {
        (void)caption;
        error(text);
    }
    // Information box with one OK button.
    virtual void info(const QString &text) = 0;
    // Plain box: no icon, one OK button.
    virtual void plain(const QString &text) { info(text); }
    // Question with OK and Cancel; true for OK.
    virtual bool confirm(const QString &text) = 0;
    // Self-closing notice window.
    virtual void notice(const QString &text) = 0;
    // A long task (extracting an archive) has done `done` of `total` bytes;
    // false when the user asked to stop it. A window shows only when the
    // task takes a while; progressDone() takes it away.
    virtual bool progress(const QString &text, qint64 done, qint64 total)
    {
        (void)text;
        (void)done;
        (void)total;
        return true;
    }
    virtual void progressDone() {}
    virtual QString statusText() const = 0;
    // Sets the status bar text and paints it at once.
    virtual void setStatusText(const QString &text) = 0;

    // Folder picker starting at `startFolder`; empty when cancelled.
    virtual QString chooseFolder(const QString &title, const QString &startFolder)
    {
        (void)title;
        (void)startFolder;
        return {};
    }
    // Shows the picture being transferred (`source`) beside the file of the
    // same name already at `target` and lets the user choose.
    virtual SameNameChoice compareSameName(const QString &source, const QString &target)
    {
        (void)source;
        (void)target;
        return SameNameChoice::Cancel;
    }
    // Asks for a new file name for `takenName` in `folder`; empty when the
    // user gives none or cancels.
    virtual QString askNewName(const QString &folder, const QString &takenName)
    {
        (void)folder;
        (void)takenName;
        return {};
    }
};
