#pragma once
// What the rename dialog works on, handed over by the viewer that opens it.
#include "common/PictureList.h"
#include "common/Prompter.h"
#include "fileops/DcimRules.h"
#include "fileops/JournalOps.h"
#include "settings/Settings.h"

#include <QPointer>
#include <QString>
#include <functional>

class TfRename;

// Outlives each dialog for the whole run of the program.
struct RenameHost {
    QPointer<TfRename> open; // the open rename dialog; null while none exists
    bool ImeWasOpen = false; // input method of the name box open when last hidden
};

struct RenameContext {
    PictureList &list;
    int &PictureIndex;
    Settings &settings; // RenameMode and Rename.AddAtBack
    const DcimRuleTable &rules;
    Prompter &prompter;
    // Does the renaming, with the companions when the settings say so;
    // null only for the name prompt, which renames nothing.
    JournalOps *journal;
    RenameHost &host;
    // Shows the picture at PictureIndex (after a step or a rename).
    std::function<void()> Picture;
    // The file-name label shows this name (without extension).
    std::function<void(const QString &)> ShowFileName;
    // While true the change buttons do nothing.
    std::function<bool()> FullScreen;
    // The tool box's rename button shows this mode name (when the tool box is open).
    std::function<void(const QString &)> ToolBoxCaption;
};
