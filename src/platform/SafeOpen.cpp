#include "platform/SafeOpen.h"

#include "platform/SystemError.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString NotAFileText(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return QStringLiteral("フォルダー");
    if (S_ISFIFO(mode))
        return QStringLiteral("FIFO（名前付きパイプ）");
    if (S_ISSOCK(mode))
        return QStringLiteral("ソケット");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("デバイス");
    if (S_ISLNK(mode))
        return QStringLiteral("シンボリックリンク");
    return QStringLiteral("特殊なファイル");
}

int OpenRegularFile(const QByteArray &path, bool noFollow, struct stat &st, int &err, QString &why)
{
    why.clear();
    // Looked at before opening: opening some devices acts on them (a tape
    // rewinds). The check after opening is the one that counts.
    if ((noFollow ? ::lstat(path.constData(), &st) : ::stat(path.constData(), &st)) == 0 &&
        !S_ISREG(st.st_mode)) {
        err = S_ISDIR(st.st_mode) ? EISDIR : S_ISLNK(st.st_mode) ? ELOOP : EINVAL;
        why = NotAFileText(st.st_mode);
        return -1;
    }
    const int fd =
        ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (noFollow ? O_NOFOLLOW : 0));
    if (fd < 0) {
        err = errno;
        if (err == ELOOP && noFollow)
            why = NotAFileText(S_IFLNK);
        return -1;
    }
    if (::fstat(fd, &st) != 0) {
        err = errno;
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        why = NotAFileText(st.st_mode);
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

SmallFile ReadSmallFile(const QString &path, qint64 cap)
{
    SmallFile out;
    struct stat st;
    int err = 0;
    const int fd = OpenRegularFile(QFile::encodeName(path), false, st, err, out.error);
    out.errorNumber = err;
    if (fd < 0) {
        if (out.error.isEmpty())
            out.error = SystemErrorText(err);
        else
            out.error += QStringLiteral("で、ファイルではありません");
        return out;
    }
    if (st.st_size > cap) {
        ::close(fd);
        out.tooLarge = true;
        out.error = QStringLiteral("ファイルが大きすぎます（%1 バイトまで）").arg(cap);
        return out;
    }
    out.data.resize(qsizetype(st.st_size));
    qsizetype done = 0;
    for (;;) {
        if (done == out.data.size()) {
            // The file may have grown since fstat (or tells no size): read
            // on, at most one byte past the cap, which says it is too large.
            if (done > cap)
                break;
            out.data.resize(qsizetype(std::min<qint64>(cap + 1, done * 2 + 4096)));
        }
        const ssize_t n = ::read(fd, out.data.data() + done, size_t(out.data.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            ::close(fd);
            out.data.clear();
            out.errorNumber = err;
            out.error = SystemErrorText(err);
            return out;
        }
        if (n == 0)
            break;
        done += n;
        if (done > cap) {
            ::close(fd);
            out.data.clear();
            out.tooLarge = true;
            out.error = QStringLiteral("ファイルが大きすぎます（%1 バイトまで）").arg(cap);
            return out;
        }
    }
    ::close(fd);
    out.data.resize(done);
    out.ok = true;
    return out;
}

bool OpenRegularQFile(const QString &path, QFile &file)
{
    struct stat st;
    int err = 0;
    QString why;
    const int fd = OpenRegularFile(QFile::encodeName(path), false, st, err, why);
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}
