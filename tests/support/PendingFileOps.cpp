// Stand-ins for the file operations that are not in this tree yet, so that
// FileOps (whose rename is here) links in tests. Compiles to nothing once
// src/platform/FileOps.cpp exists.
#if !__has_include("platform/FileOps.cpp")
#include "platform/FileOps.h"

FileOpOutcome FileOps::copyFile(const QString &, const QString &)
{
    return {FileOpResult::Failed, QStringLiteral("not available")};
}

FileOpOutcome FileOps::moveFile(const QString &, const QString &)
{
    return {FileOpResult::Failed, QStringLiteral("not available")};
}

FileOpOutcome FileOps::moveToTrash(const QString &)
{
    return {FileOpResult::Failed, QStringLiteral("not available")};
}
#endif
