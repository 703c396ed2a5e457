#pragma once
// Reading freedesktop launcher files (".desktop") well enough to start the
// program they describe on one picture.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

struct DesktopEntry {
    bool found = false; // the file has a [Desktop Entry] group
    QString type;       // "Application", "Link", ...; empty when missing
    QString name;       // Name, in the user's language when the file has it
    QString exec;       // Exec with the general escapes (\s \n \t \r \\) undone
    QString icon;
    QString path; // Path: the folder to run in, when the launcher wants one
};

// The [Desktop Entry] group of a launcher's text. `locale` is the messages
// locale ("ja_JP.UTF-8", "de_DE@euro", "C") that picks a translated Name.
DesktopEntry ParseDesktopEntry(const QByteArray &content, const QString &locale);

// The messages locale of this process: LC_ALL, else LC_MESSAGES, else LANG.
QString MessagesLocale();

// What the launcher's field codes stand for.
struct ExecFields {
    QString file;     // %f %F %u %U: the picture (a plain path, which every program takes)
    QString name;     // %c
    QString icon;     // %i, as "--icon" and the value
    QString location; // %k: the launcher file itself
};

// Splits an Exec value into the program and its arguments by the quoting
// rules of launcher files and fills in the field codes; "%%" is a percent
// sign and other codes vanish. When Exec names no file code the file is
// added at the end, as the user chose this launcher to open pictures.
// Empty when the value is malformed (an unclosed quote, nothing to run).
std::optional<QStringList> ExpandExec(const QString &exec, const ExecFields &fields);
