#pragma once
// The user's freedesktop trash, kept by the viewer itself: files on the home
// file system go to $XDG_DATA_HOME/Trash (created private when missing),
// files elsewhere to the trash at the top of their own file system; a file
// is never copied into a trash and never "trashed" anywhere else. The
// .trashinfo is created first and exclusively, so two programs trashing
// the same name at once each get a name of their own.
#include "platform/FileOps.h"

// Moves `path` (the name itself: a link is trashed, not what it points to).
// `topDirForTests`, when given, stands for the top directory of the file's
// file system.
FileOpOutcome TrashFile(const QString &path, TrashedFile *where, const QString &topDirForTests = {});

// Moves a trashed file back without replacing anything, then removes its
// .trashinfo. With no original path in `entry`, the one in the .trashinfo.
FileOpOutcome RestoreTrashedFile(const TrashedFile &entry);

// $XDG_DATA_HOME/Trash, or ~/.local/share/Trash.
QString HomeTrashPath();

// The name a file gets in a trash's files/ folder: `name`, or with ".N"
// before the extension for the N-th try, shortened (extension kept, UTF-8
// characters whole) to at most `limit` bytes.
QByteArray TrashEntryName(const QByteArray &name, int attempt, int limit);
