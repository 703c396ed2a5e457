#pragma once
// Opening files named by users, settings or other programs without ever
// waiting on them: a FIFO, a device, a socket or a folder under a file's name
// is refused at once (opened non-blocking, checked with fstat), and reads are
// capped so a huge file cannot take the memory.
#include <QByteArray>
#include <QString>
#include <sys/types.h>

struct stat;
class QFile;

// What the file at `mode` is, in the interface's words ("FIFO（名前付きパイプ）",
// "フォルダー", ...), or empty for a regular file.
QString NotAFileText(mode_t mode);

// Opens `path` for reading as a regular file, never blocking and (with
// `noFollow`) never through a symbolic link. Returns the descriptor (closed
// on exec, blocking mode restored) or -1 with `err` set; `why` then says in
// the interface's words what was found instead of a file, when that was the
// reason. `st` receives the file's status.
int OpenRegularFile(const QByteArray &path, bool noFollow, struct stat &st, int &err, QString &why);

struct SmallFile {
    bool ok = false;
    bool tooLarge = false;
    QByteArray data;
    int errorNumber = 0; // the system's reason, when it gave one (ENOENT: no such file)
    QString error;       // why it could not be read, in the interface's words
};

// Reads a whole regular file of at most `cap` bytes (symbolic links are
// followed; the file they name must be a regular file).
SmallFile ReadSmallFile(const QString &path, qint64 cap);

// Opens `file` for reading on `path` the same way (links followed, a regular
// file only, never waiting); false when refused.
bool OpenRegularQFile(const QString &path, QFile &file);
