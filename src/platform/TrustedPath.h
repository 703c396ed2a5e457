#pragma once
// Whether code may be loaded from a file: the rules a careful dynamic
// loader applies to its secure paths. Loading a plug-in runs its code with
// the user's rights, so nobody else may have been able to put it there or
// change it.
#include <QString>

enum class PathTrust {
    Trusted,
    Missing,        // no such file, or not a regular file
    ForeignOwner,   // the file, or a folder above it, belongs to another user
    OthersMayWrite, // the file, or a folder above it, can be written by others
};

// Checks the file the path finally names (symbolic links resolved, as the
// loader would open it) and every folder above it: each must belong to the
// user or to root and be writable by nobody else. A group may write only
// when it is the user's own group with no other members. A folder above
// the file's own folder may be writable by everyone when its sticky bit is
// set (as /tmp), since others then cannot replace what the user owns in it.
// canonical receives the resolved path, to be loaded instead of `path`.
PathTrust CheckLoadPath(const QString &path, QString *canonical = nullptr);
