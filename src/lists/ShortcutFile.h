#pragma once
// Shortcut files: freedesktop ".desktop" entries that start the viewer on a
// folder or a list file with slideshow switches on its command line.
#include <QLocale>
#include <QString>
#include <QStringList>

struct ShortCutSettings;
class Prompter;

inline const QString kLauncherComment = QStringLiteral("グリマーデックのショートカット作成");
inline const QString kLauncherExtension = QStringLiteral(".desktop");

// The slideshow choices a launcher carries.
struct ShortcutChoices {
    int seconds = 2;
    int milliseconds = 0;
    bool autoStart = true;
    bool box = false;
    bool button = false;
    bool full = true;
    bool zoom = true;
    int repeat = -1; // 1 On, 0 Off, anything else Exit

    static ShortcutChoices fromSettings(const ShortCutSettings &s);
    // Stores the choices; Repeat is normalised to 1, 0 or -1.
    void storeInto(ShortCutSettings &s) const;
};

// Seconds plus milliseconds as a decimal number with the fewest digits
// needed, in the locale's format: 2, 2.5, 0.1.
QString ShortcutTimeText(int seconds, int milliseconds, const QLocale &locale = QLocale::system());

// The viewer's arguments: the target, then /Time, /Auto, /Box, /Button,
// /Full, /Zoom and /Repeat in that order.
QStringList ShortcutArguments(const QString &target, const ShortcutChoices &choices,
                              const QLocale &locale = QLocale::system());

// One argument for an Exec line: put in double quotes (with the double
// quote, backtick, dollar and backslash escaped) when it holds a character
// the Desktop Entry format reserves, or always when `forceQuotes`. "%" is doubled, as it starts a field code.
QString DesktopExecArgument(const QString &arg, bool forceQuotes = false);
// The Exec value for `program` and `args`, before string escaping. The
// first argument (the target) is always quoted, like a path typed by hand.
QString DesktopExecLine(const QString &program, const QStringList &args);

// A value escaped for a .desktop file: \ as \\, tab, CR and LF as \t \r \n.
QString EscapeDesktopValue(const QString &value);

struct LauncherEntry {
    QString name;       // Name=
    QString program;    // the viewer's absolute path
    QStringList args;   // see ShortcutArguments
    QString workingDir; // Path=, the viewer's folder
    QString icon;       // Icon=, a path or a theme name
};

// The icon for launchers: "glimmerdeck.svg" beside the viewer when there is
// one, else the icon's theme name.
QString LauncherIcon(const QString &viewerPath);

// The file's text.
QString LauncherText(const LauncherEntry &entry);
// Writes the launcher whole (temporary file, then renamed over any old one)
// and marks it executable. False when anything failed; no partial file is
// left under `path`.
bool writeLauncherFile(const QString &path, const LauncherEntry &entry);
// Asks the desktop to trust the launcher (gio metadata), where gio exists.
void markLauncherTrusted(const QString &path);

// The command of a launcher file: program and arguments from its Exec key,
// the working folder from its Path key. False when the file has no usable
// Exec line.
bool readLauncherCommand(const QString &path, QStringList &command, QString &workingDir);

inline const QString kSampleRunText = QStringLiteral("ショートカット実行のサンプル実施を行います。");
inline const QString kSampleFailedText = QStringLiteral("起動に失敗しました");
inline const QString kSampleFailedCaption = QStringLiteral("エラー");

// The sample run after a launcher was made: tells the user, then starts the
// launcher's command as a new viewer process. Reports a failure to start.
// `pid` receives the new process's id.
bool RunShortcutSample(const QString &launcherPath, Prompter &prompter, qint64 *pid = nullptr);
