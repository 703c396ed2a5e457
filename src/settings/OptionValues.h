#pragma once
// What the options dialog edits, as plain values: loaded from the settings
// record with each value brought into the range its control offers, and
// stored back in one go when the user confirms.
#include <QString>
#include <QStringList>

struct Settings;

struct OptionValues {
    static constexpr int kMaxSeconds = 20;
    static constexpr int kMaxMilliseconds = 900;
    static constexpr int kMillisecondStep = 100;
    static constexpr int kMaxButtons = 10;
    static constexpr int kMaxSeqDigits = 5;
    static constexpr int kLabelPositions = 7; // 0 hidden, 1..6 corners and centres
    static constexpr int kMaxFontSize = 999;
    static constexpr int kDefaultFontSize = 10;
    static constexpr int kMinPrefetchMiB = 16;
    static constexpr int kMaxPrefetchMiB = 4096;
    static constexpr int kDefaultPrefetchMiB = 256;

    int seconds = 2;      // 0..20
    int milliseconds = 0; // 0..900
    int nButton = 5;      // 1..10
    int seqDigits = 2;    // 1..5
    bool numbering = false;
    QString pluginDir;
    QStringList apps; // at most five, in menu order
    QStringList ruleLines;
    int labelFlag = 0; // 0..6; -1 when the stored position is none of them
    QString fontName;
    int fontSize = kDefaultFontSize; // 1..999
    bool companions = true;          // RAW and sidecars travel with their picture
    int prefetchMiB = kDefaultPrefetchMiB; // 16..4096
};

// What confirming changed, so that only what changed needs to take effect.
struct OptionResult {
    bool intervalChanged = false;  // Option.Interval / IntervalM
    bool nButtonChanged = false;   // Option.nButton: rebuild an open tool box
    bool appsChanged = false;      // AppList: rebuild the application menus
    bool pluginDirChanged = false; // Susie Plug-in.Dir
    bool rulesChanged = false;     // the camera rule lines
    bool labelChanged = false;     // position, font, size or Window.ファイル名表示
    bool prefetchChanged = false;  // Option.PrefetchMiB
    QStringList ruleLines;         // the rule lines as confirmed
};

// The values the dialog opens with. Stored values outside what a control
// offers are brought into range (an interval of 30 s shows as 20).
OptionValues LoadOptionValues(const Settings &settings, const QStringList &ruleLines);

// Stores confirmed values: the interval (0 s with 0 ms becomes 100 ms), the
// button count, digits, numbering, plug-in folder, application list, rule
// lines and label, in that order; a label position of 0 also turns the
// label off. `oldRuleLines` are the lines the dialog was opened with.
OptionResult StoreOptionValues(const OptionValues &values, Settings &settings,
                               const QStringList &oldRuleLines);

// The application list after adding `path`: a sixth entry pushes out the
// first.
void AddApplication(QStringList &apps, const QString &path);

// Font families for the label font box: vertical "@" faces left out, sorted
// without regard to case.
QStringList LabelFontFamilies(const QStringList &families);

// The slideshow seconds control went to 0 with 0 ms: the milliseconds that
// keep the show from standing still (100), else `milliseconds` unchanged.
int MillisecondsAfterSecondsChange(int seconds, int milliseconds);
