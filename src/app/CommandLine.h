#pragma once
// The command line: picture paths and the switches /Time, /Auto, /Box,
// /Button, /Zoom, /Full and /Repeat, which override the stored settings for
// one run. Any other switch marks the run as started from a launcher
// (ShortcutRun: nothing is saved at exit, no history is recorded).
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

struct ViewerState;

// The value of `argument` if it is the switch `name`: the argument, lower-
// cased, starts with the name (a prefix: "/timer=5" is "/Time") and holds an
// "="; the value is what follows the first "=", lower-cased.
std::optional<QString> MatchSwitch(const QString &name, const QString &argument);

// An absolute, clean path ("." and ".." resolved as text, no trailing "/"),
// relative paths taken from `currentDir` (the process's when empty).
QString ExpandLongPath(const QString &path, const QString &currentDir = {});

// Whether an argument beginning with "/" is a switch rather than an absolute
// path: it must not name an existing file or folder and must have no further
// "/" before its "=" ("/home/me/pics" is a path, "/Time=2" a switch).
bool IsSwitchArgument(const QString &argument, const std::function<bool(const QString &)> &exists);

struct CommandLineStep {
    enum class Kind {
        AddPath,          // give `path` to rFileName
        ToggleSlideshow,  // run the slideshow action now (it toggles)
        ToggleFullScreen, // run the full-screen action now (before the main window is shown)
    };
    Kind kind = Kind::AddPath;
    QString path;
    friend bool operator==(const CommandLineStep &, const CommandLineStep &) = default;
};

struct CommandLineResult {
    QList<CommandLineStep> steps; // in argument order
    QStringList paths() const;
};

struct CommandLineEnvironment {
    QLocale locale = QLocale::system();          // how /Time is read
    std::function<bool(const QString &)> exists; // file test; QFileInfo::exists when empty
    QString currentDir;                          // base of relative paths; the process's when empty
    // Carries out each step as soon as its argument has been read (the
    // settings written so far are in place); the steps are returned as well.
    std::function<void(const CommandLineStep &)> onStep;
};

// Applies `args` (without the program name) in order: writes Option.Interval,
// Option.IntervalM, Tool.Show, Option.Open and Option.Zoom into the settings
// and ShortcutRun, RepeatMode and ComMax into `state`; returns the paths and
// actions for the caller to carry out in the order given. Arguments after
// "--" are always paths; empty arguments are skipped.
CommandLineResult ApplyCommandLine(const QStringList &args, ViewerState &state,
                                   const CommandLineEnvironment &env = {});

// How many leading arguments (program name included) Qt may see: those
// before the first "--". Qt takes its own options (-platform, -style, ...)
// out of what it is given, but after "--" everything is a path.
int QtArgumentCount(int argc, const char *const *argv);

// --help and --version: checked before anything else starts.
enum class InfoRequest { None, Help, Version };
InfoRequest FindInfoRequest(const QStringList &args);
QString UsageText(const QString &programName);
QString VersionOutput();
