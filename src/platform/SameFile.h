#pragma once
// Whether two paths name the same file, however spelled ("./", a linked
// folder, a second hard link): decided by device and inode, and for a name
// that does not exist yet by its folder's device and inode and the name.
#include <QString>

bool SameFile(const QString &a, const QString &b);
