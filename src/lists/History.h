#pragma once
// The history of the last six picture lists shown: files gd1.lst .. gd6.lst
// in the application folder, gd1 the most recent. The files are the only
// store; the menu is a view of them rebuilt by ListCheck. Several running
// instances may share the folder: every change happens under the folder's
// FileLock, on what is on disk at that moment.
#include <QString>
#include <QStringList>

struct Settings;
class PictureList;
class Prompter;

class History
{
public:
    static constexpr int kMaxEntries = 6;

    // `folder` is the application folder; the history files live in it.
    explicit History(QString folder);

    const QString &folder() const { return folder_; }
    // Full path of history file k (1..6).
    QString filePath(int k) const;

    // Renumbers the history files present to 1..n without gaps, stores n in
    // Window.ListMax and returns the menu captions of entries 1..n: the folder
    // (with trailing separator) of each entry's first path.
    QStringList ListCheck(Settings &settings);

    // Records `list` as entry 1. An entry equal to it (same paths, same order,
    // exact case) moves to the front instead of being stored twice; with six
    // entries present the oldest drops out. Paths holding a line break are
    // left out (see StorablePaths); a list with nothing left is not recorded.
    // Files that cannot be read are treated as not matching. Returns the new
    // number of entries. Callers skip this in a shortcut run.
    int RecordHistory(const QStringList &list);

    enum class ReadResult {
        Vanished,  // the file was gone: dropped silently; refresh the menu
        Loaded,    // state.list holds the entry; activate and show it
        NoPicture, // the first picture is gone: list emptied, error shown; activate
    };
    // Reads history entry `tag` (1..6) into state.list and moves it to the
    // front of the history (not in a shortcut run, which never records).
    ReadResult readEntry(int tag, Settings &settings, PictureList &list, bool shortcutRun,
                         Prompter &prompter);

    // Asks first; on OK deletes every history file and zeroes Window.ListMax.
    // Returns true when cleared (the caller then refreshes the menu).
    bool clear(Settings &settings, Prompter &prompter);

    // Folder part of the first path of history file k, empty when unreadable.
    QString entryCaption(int k) const;

private:
    bool exists(int k) const;
    // Closes gaps in the numbering; returns the number of entries 1..n.
    int compact() const;
    void add(const QStringList &list, int n) const;

    QString folder_;
};
