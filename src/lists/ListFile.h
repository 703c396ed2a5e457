#pragma once
// History and list files: UTF-16LE text, one picture path per line. A list
// file is a history file with a header line in front.
#include <QString>
#include <QStringList>

class PictureList;
class Prompter;

inline const QString kListHeader = QStringLiteral("Glimmerdeck List Ver1.0");

// Reads the lines of a history or list file. Lines end at CR LF, a lone CR or
// a lone LF; a final line break adds no empty line; a leading byte-order mark
// is skipped and a file without one is read as UTF-16LE all the same.
// Returns false (and no lines) when the file cannot be opened or is absurdly
// large for a list of paths.
bool readListLines(const QString &path, QStringList &lines);

// The lines of a history or list file from its bytes (the rules above).
QStringList parseListBytes(const QByteArray &bytes);

// The paths that can be stored one per line: those without CR or LF. A
// file name may hold either, but written out it would split into bogus
// entries.
QStringList StorablePaths(const QStringList &paths);

// The bytes writeListLines writes for these lines.
QByteArray listFileBytes(const QStringList &lines);

// The first of those lines, reading only as far as it goes (history files of
// large folders run to megabytes). False when readListLines would fail or
// find no line at all.
bool readFirstListLine(const QString &path, QString &line);

// Writes the lines whole to a temporary file beside `path` and renames it
// over the old one: UTF-16LE with byte-order mark, CR LF after every line.
// A crash or a full disk never leaves a truncated file under `path`.
// Lines holding CR or LF are left out.
bool writeListLines(const QString &path, const QStringList &lines);

// A list file: the header line, then the paths (those StorablePaths keeps).
bool writeListFile(const QString &path, const QStringList &paths);

// True when the path names a list file by its extension: exactly ".lst",
// letter case included (".LST" is not one).
bool isListFileName(const QString &path);

// Reads the list file at `path` into `list`: the list becomes an unsorted
// list of the file's paths, in file order. Only the first path is checked.
// Anything else is reported through the prompter and leaves `list` as it
// was. Returns true when the list was replaced.
bool ReadListFile(const QString &path, PictureList &list, Prompter &prompter);
