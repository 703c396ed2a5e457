#pragma once
// Shell wildcard matching of a file name ("*.jpg", "IMG_????.*"); a leading
// dot must be matched by a dot in the pattern, as the shell does.
#include <QString>

bool MatchesFileWildcard(const QString &pattern, const QString &name);
