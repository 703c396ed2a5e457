// Renaming without ever replacing: renameat2 with RENAME_NOREPLACE, and
// where a file system does not offer that, a hard link then unlink (which
// fails on a taken name just the same).
#include "platform/RenameFile.h"

#include "platform/SystemError.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
FileOpOutcome fromErrno(int err, const QByteArray &source)
{
    FileOpOutcome out;
    out.detail = SystemErrorText(err);
    switch (err) {
    case EEXIST:
    case ENOTEMPTY:
        out.result = FileOpResult::TargetExists;
        break;
    case ENOENT: {
        struct stat st;
        out.result = ::lstat(source.constData(), &st) != 0 ? FileOpResult::SourceMissing
                                                           : FileOpResult::TargetFolderMissing;
        break;
    }
    case ENOTDIR:
        out.result = FileOpResult::TargetFolderMissing;
        break;
    case EACCES:
    case EPERM:
        out.result = FileOpResult::PermissionDenied;
        break;
    case EROFS:
        out.result = FileOpResult::ReadOnly;
        break;
    case ENOSPC:
    case EDQUOT:
        out.result = FileOpResult::NoSpace;
        break;
    case ENAMETOOLONG:
        out.result = FileOpResult::InvalidName;
        break;
    default:
        out.result = FileOpResult::Failed;
        break;
    }
    return out;
}

bool unsupported(int err)
{
    return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP || err == ENOTSUP;
}

QString lastComponent(const QString &path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool usableTarget(const QString &source, const QString &target)
{
    const QString name = lastComponent(target);
    return !source.isEmpty() && !name.isEmpty() && name != QStringLiteral(".") &&
           name != QStringLiteral("..") && !source.contains(QChar(0)) && !target.contains(QChar(0));
}

// For file systems without hard links: hold the name with an empty file of
// our own, then rename over that placeholder.
int renameOverPlaceholder(const char *src, const char *dst)
{
    const int fd = ::open(dst, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    ::close(fd);
    if (::rename(src, dst) != 0) {
        const int err = errno;
        ::unlink(dst);
        return err;
    }
    return 0;
}

int linkThenUnlink(const char *src, const char *dst)
{
    if (::link(src, dst) != 0) {
        const int err = errno;
        if (err == EPERM || err == EOPNOTSUPP || err == ENOSYS || err == EMLINK)
            return renameOverPlaceholder(src, dst);
        return err;
    }
    if (::unlink(src) != 0) {
        const int err = errno;
        ::unlink(dst); // leave the file under its old name only
        return err;
    }
    return 0;
}
} // namespace

FileOpOutcome renameByLink(const QString &source, const QString &target)
{
    if (!usableTarget(source, target))
        return {FileOpResult::InvalidName, QString()};
    const QByteArray src = QFile::encodeName(source);
    const int err = linkThenUnlink(src.constData(), QFile::encodeName(target).constData());
    return err == 0 ? FileOpOutcome{} : fromErrno(err, src);
}

FileOpOutcome FileOps::renameFile(const QString &source, const QString &target)
{
    if (!usableTarget(source, target))
        return {FileOpResult::InvalidName, QString()};
    const QByteArray src = QFile::encodeName(source);
    const QByteArray dst = QFile::encodeName(target);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return {};
    const int err = errno;
    if (unsupported(err))
        return renameByLink(source, target);
    return fromErrno(err, src);
}
