#pragma once
// Building, ordering and activating the picture list: from chosen files, a
// folder, a zip archive or any path given on the command line or dropped.
#include "common/ViewModes.h"

#include <QString>
#include <QStringList>
#include <optional>

struct ViewerState;
class Prompter;
class ListHooks;

inline const QString kSearchingText = QStringLiteral("ただいま、画像を検索中です。");

class ListOps
{
public:
    ListOps(ViewerState &state, Prompter &prompter, ListHooks &hooks);

    // Adds one path of any kind: picture, folder, zip archive or list file.
    void rFileName(const QString &path);
    // Adds the pictures of one folder (not recursive) matching `mask`
    // ("<folder>/*.*"), extracting archives found there, then orders the list.
    void ScanFolder(const QString &mask);
    // Extracts a zip archive into a new folder under TempFolder and adds its
    // contents. Problems are reported naming the archive; what could be
    // extracted is still added.
    void ExtractArchive(const QString &path);
    // Makes the list just built the current one.
    void ActivateList();
    // Reorders by `order` (1 random, 2 name, 3 name reversed, 4 date), goes
    // to the first picture and displays. Nothing at all on an empty list.
    void SortList(PlayOrder order);
    // The handler of the four order actions.
    void menuSort(PlayOrder order);

    // Open picture files: the files chosen in the dialog (not called when
    // the dialog was cancelled).
    void openFiles(const QStringList &chosen);
    // Open a folder: the chosen folder, or nullopt when cancelled.
    void openFolder(const std::optional<QString> &folder);

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

    // Deepest nesting of archives inside archives that is extracted.
    static constexpr int kMaxArchiveDepth = 8;

private:
    ViewerState &st_;
    Prompter &prompter_;
    ListHooks &hooks_;
    int archiveDepth_ = 0;
};
