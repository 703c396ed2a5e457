#pragma once
// What the journal needs to know about a file it created or moved: its size
// and modification time, to tell later whether it is still unchanged; and
// durable appends for the journal file itself.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

struct FileStamp {
    int64_t size = -1;   // -1: no regular file by that name
    int64_t mtimeNs = 0; // nanoseconds since the epoch
    bool exists() const { return size >= 0; }
    bool operator==(const FileStamp &) const = default;
};

// Size and modification time of the regular file `path` (links not followed).
FileStamp StampOf(const QString &path);

// True when both regular files hold the same bytes.
bool SameBytes(const QString &a, const QString &b);

// Removes `path` only while it still has `stamp` (a copy we made ourselves
// and nobody has touched since). False when it differs or cannot be removed.
bool RemoveIfUnchanged(const QString &path, const FileStamp &stamp);

// Appends `bytes` to `path` (created 0600 when missing) and flushes them to
// the disk before returning. False, with the system's words in `error`, on
// any failure.
bool AppendDurably(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// The hidden temporaries that a copy into `folder` writes before it names
// the file (".gd-*.part"); a crash can leave one behind.
QStringList CopyLeftovers(const QString &folder);

// True when the bytes of `part` are the first bytes of `whole` (or all of them).
bool IsPrefixOf(const QString &part, const QString &whole);
