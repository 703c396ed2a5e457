#pragma once
// Building, ordering and activating the picture list: from chosen files, a
// folder, a zip archive or any path given on the command line or dropped.
#include "common/ViewModes.h"

#include <QString>
#include <QStringList>
#include <optional>

struct ViewerState;
class Prompter;

// What a list operation changed, for the one refresh that follows a command.
// The operations never display anything themselves.
struct [[nodiscard]] ListChange {
    enum class Kind {
        Nothing,   // the list and the position are as before
        Reordered, // same pictures, new order, position at `index`
        Replaced,  // other pictures, not (yet) the active list
        Activated, // the list just built became the current one (ListActive says whether it has pictures)
    };
    Kind kind = Kind::Nothing;
    int index = -1; // the page to show; -1 keeps the current one

    // Several steps of one command: the larger change wins.
    ListChange &operator|=(const ListChange &o)
    {
        if (o.kind >= kind) {
            kind = o.kind;
            if (o.index >= 0)
                index = o.index;
        }
        return *this;
    }
    bool operator==(const ListChange &) const = default;
};

inline const QString kSearchingText = QStringLiteral("ただいま、画像を検索中です。");

class ListOps
{
public:
    ListOps(ViewerState &state, Prompter &prompter);

    // Adds one path of any kind: picture, folder, zip archive or list file.
    [[nodiscard]] ListChange rFileName(const QString &path);
    // Adds the pictures of one folder (not recursive) matching `mask`
    // ("<folder>/*.*"), extracting archives found there, then orders the list.
    [[nodiscard]] ListChange ScanFolder(const QString &mask);
    // Extracts a zip archive into a new folder under TempFolder and adds its
    // contents. Problems are reported naming the archive; what could be
    // extracted is still added.
    void ExtractArchive(const QString &path);
    // Makes the list just built the current one (an empty one clears it).
    [[nodiscard]] ListChange ActivateList();
    // Reorders by `order` (random, name, name reversed, date) and goes to
    // the first picture. Nothing at all on an empty list.
    [[nodiscard]] ListChange SortList(PlayOrder order);
    // The handler of the four order actions: the order becomes SortOrder.
    [[nodiscard]] ListChange menuSort(PlayOrder order);

    // Open picture files: the files chosen in the dialog (not called when
    // the dialog was cancelled).
    [[nodiscard]] ListChange openFiles(const QStringList &chosen);
    // Open a folder: the chosen folder, or nullopt when cancelled.
    [[nodiscard]] ListChange openFolder(const std::optional<QString> &folder);
    // Files, folders, archives and list files dropped on the main window:
    // they become the set (nothing dropped: the list is activated again).
    [[nodiscard]] ListChange openDropped(const QStringList &paths);

    // One page or spread forward/back (the caller displays).
    void StepIndex(bool forward);
    void NormalizeIndex();
    // Drops the current entry while its file is gone.
    void PruneMissing();

    // A path whose lower-cased extension occurs in PictureFilter and not in
    // the media extensions.
    bool isPicturePath(const QString &path) const;
    static bool isArchivePath(const QString &path);
    static bool isMediaPath(const QString &path);
    // An archive is being extracted (its progress window comes and goes).
    bool extracting() const { return archiveDepth_ > 0; }

    // Deepest nesting of archives inside archives that is extracted.
    static constexpr int kMaxArchiveDepth = 8;

private:
    ViewerState &st_;
    Prompter &prompter_;
    int archiveDepth_ = 0;
};
