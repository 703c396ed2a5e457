#pragma once
// The five rename modes, their names and the mode menu as data, and the
// checks shared by every way of renaming.
#include "platform/FileOps.h"

#include <QString>
#include <array>
#include <cstdint>

enum RenameModeId : int {
    kRenameFree = 0,      // edit the name
    kRenameNumbering = 1, // sequential numbers
    kRenameAddText = 2,   // add text at the front or back
    kRenameCopyEdit = 3,  // copy the previous picture's added text, editable
    kRenameCopyAuto = 4,  // copy it without asking
};
inline constexpr int kRenameModeCount = 5;

// "ファイル名変更", "連番変更", "文字・追加", "文字複写＆変更", "追加文字複写";
// an out-of-range mode reads as mode 0.
QString RenameModeName(int mode);

// One item of the mode menu (the tool box's rename drop-down and the rename
// dialog's mode panel). Choosing it sets the mode to tag - 1.
struct RenameMenuItem {
    const char *objectName; // "N1".."N5"
    int tag;                // mode + 1
    QString caption;
};
const std::array<RenameMenuItem, kRenameModeCount> &RenameModeMenu();

// The mode as stored may come from a hand-edited settings file.
int ValidRenameMode(int mode);

// Modes 3 and 4 need a previous picture: at the first one they fall back to
// mode 2. Returns true when numbering must start afresh (mode 1).
bool RenameModeCheck(uint8_t &RenameMode, int PictureIndex);

// A name that can be given to a file in place: not empty, not "." or "..",
// no "/" (it would move the file into another folder) and no NUL.
bool IsUsableFileName(const QString &name);

// The error box text for a failed rename: "同名のファイルがありました。" when
// the name is taken, otherwise what went wrong.
QString RenameFailureText(const FileOpOutcome &outcome);
