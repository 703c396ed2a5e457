#pragma once
// The fallback FileOps::renameFile uses where a file system does not offer
// an atomic rename without replacing: a hard link to the new name, then the
// old name removed (or, without hard links, the new name held by an empty
// file of our own and renamed over). Never replaces another file.
#include "platform/FileOps.h"

FileOpOutcome renameByLink(const QString &source, const QString &target);
