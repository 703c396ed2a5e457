#pragma once
// Folder enumeration and removal, and the few file queries the list needs.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

// Appends folder + "/" + name for every entry below `folder`, depth first:
// a sub-folder's own entry comes right before its contents. Symbolic links
// are listed but never followed.
void ListTree(const QString &folder, QStringList &list);
// Removes `folder` with everything in it, never following symbolic links
// (a planted link only loses the link). Files that cannot be removed are
// left; returns whether the folder is gone.
bool DeleteTree(const QString &folder);

// Calls `onFile(name)` for every entry of `folder` that is not a folder
// (a link to a folder counts as a folder). Returns false when the folder
// cannot be read.
bool ForEachFile(const QString &folder, const std::function<void(const QString &name)> &onFile);

bool PathExists(const QString &path);
bool IsFolder(const QString &path);
bool IsFile(const QString &path);
// Last-write time in nanoseconds since the epoch; false when the file
// cannot be reached.
bool LastWriteTime(const QString &path, int64_t &ns);
