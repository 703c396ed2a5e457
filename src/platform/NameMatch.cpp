#include "platform/NameMatch.h"

#include <fnmatch.h>

bool MatchesFileWildcard(const QString &pattern, const QString &name)
{
    return fnmatch(pattern.toUtf8().constData(), name.toUtf8().constData(), FNM_PERIOD) == 0;
}
