#pragma once
// The settings record: everything that outlives a run. Loaded once at start,
// saved once at close (see SettingsStore).
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

struct TransferSlot {
    QString Folder;       // destination; "none" or empty when unset
    QString Caption;      // button caption
    QString ChosenFolder; // folder picked at run time, this run only
};

// File-name label: position flag (0 hidden, 1..6 corners/centres), font, size.
struct TfnLabel {
    int32_t flag = 0;
    QString fnlFontName;
    int32_t fnlFontSize = 0;
};

struct WindowSettings {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
    QString LastDir;
    int32_t ListMax = 0;
    bool FileNameShown = true; // Window.ファイル名表示
};

struct SameBoxSettings {
    int32_t Left = 0, Top = 0, Width = 500, Height = 300;
};

struct ToolSettings {
    bool Show = true;
    int32_t Left = 0, Top = 0;
    uint8_t State = 0;  // 0 single page, 1 spread (odd), 2 spread (even)
    uint8_t Orient = 0; // 0 left to right, 1 right to left
};

struct HelpSettings {
    int32_t Left = 0, Top = 0, Width = 500, Height = 500;
};

struct ShortCutSettings {
    int32_t Interval = 2;
    int32_t IntervalM = 0;
    int32_t MakePlace = 0;
    bool Auto = true, Box = false, Button = false, Full = true, Zoom = true;
    int32_t Repeat = -1;
    QString PictureFolder;
};

struct OptionSettings {
    int32_t Interval = 2;
    int32_t IntervalM = 0;
    uint8_t nButton = 5;
    bool Copy = true;
    bool Zoom = false;
    bool Open = true;
    bool Numbering = false;
    bool Companions = true; // RAW and sidecar files travel with their picture
    uint8_t SeqDigits = 2; // Option.連番
    int32_t PrefetchMiB = 256; // memory for pictures decoded ahead
};

struct RenameSettings {
    bool AddAtBack = true; // Rename.文字追加方向
};

struct Settings {
    WindowSettings Window;
    QString SusieDir; // Susie Plug-in.Dir
    SameBoxSettings SameBox;
    ToolSettings Tool;
    HelpSettings Help;
    ShortCutSettings ShortCut;
    OptionSettings Option;
    RenameSettings Rename;
    uint8_t RenameMode = 0;
    std::array<TransferSlot, 10> TransferSlots;
    QStringList AppList; // at most five
    TfnLabel fnLabel;
    // Window.State is not kept in the record: it is applied to the window at
    // load and read back from the window at save.
};

static constexpr int kMaxTransferSlots = 10;
static constexpr int kMaxApps = 5;
