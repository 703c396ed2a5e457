#include "platform/TrustedPath.h"

#include <QFile>
#include <QFileInfo>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

bool ownerTrusted(const struct stat &st)
{
    return st.st_uid == 0 || st.st_uid == geteuid();
}

// The user's own group with nobody else in it (user private groups).
bool privateGroup(gid_t gid)
{
    if (gid != getegid())
        return false;
    const group *g = getgrgid(gid);
    return g && (!g->gr_mem || !g->gr_mem[0]);
}

PathTrust modeTrust(const struct stat &st, bool mayBeSticky)
{
    if (!ownerTrusted(st))
        return PathTrust::ForeignOwner;
    if (st.st_mode & S_IWOTH) {
        if (!(mayBeSticky && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)))
            return PathTrust::OthersMayWrite;
    } else if ((st.st_mode & S_IWGRP) && !privateGroup(st.st_gid)) {
        if (!(mayBeSticky && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)))
            return PathTrust::OthersMayWrite;
    }
    return PathTrust::Trusted;
}

} // namespace

PathTrust CheckLoadPath(const QString &path, QString *canonical)
{
    const QString real = QFileInfo(path).canonicalFilePath();
    if (real.isEmpty())
        return PathTrust::Missing;
    struct stat st;
    if (stat(QFile::encodeName(real).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return PathTrust::Missing;
    PathTrust t = modeTrust(st, false);
    if (t != PathTrust::Trusted)
        return t;
    // The folders, from the file's own folder up to "/". The canonical path
    // holds no links, so each folder is the one the loader goes through.
    QString dir = real;
    bool own = true;
    for (;;) {
        const qsizetype slash = dir.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            break;
        dir = slash == 0 ? QStringLiteral("/") : dir.left(slash);
        if (stat(QFile::encodeName(dir).constData(), &st) != 0)
            return PathTrust::Missing;
        t = modeTrust(st, !own);
        if (t != PathTrust::Trusted)
            return t;
        own = false;
        if (dir == QLatin1String("/"))
            break;
    }
    if (canonical)
        *canonical = real;
    return PathTrust::Trusted;
}
