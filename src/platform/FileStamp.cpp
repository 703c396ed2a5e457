#include "platform/FileStamp.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{
struct Fd {
    int fd;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

ssize_t readSome(int fd, char *data, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += size_t(n);
    }
    return ssize_t(done);
}
} // namespace

FileStamp StampOf(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return {int64_t(st.st_size), int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool SameBytes(const QString &a, const QString &b)
{
    Fd fa(::open(QFile::encodeName(a).constData(), O_RDONLY | O_CLOEXEC));
    Fd fb(::open(QFile::encodeName(b).constData(), O_RDONLY | O_CLOEXEC));
    struct stat sa, sb;
    if (fa.fd < 0 || fb.fd < 0 || ::fstat(fa.fd, &sa) != 0 || ::fstat(fb.fd, &sb) != 0 ||
        !S_ISREG(sa.st_mode) || !S_ISREG(sb.st_mode) || sa.st_size != sb.st_size)
        return false;
    std::vector<char> ba(1 << 20), bb(1 << 20);
    for (;;) {
        const ssize_t na = readSome(fa.fd, ba.data(), ba.size());
        const ssize_t nb = readSome(fb.fd, bb.data(), bb.size());
        if (na < 0 || na != nb || std::memcmp(ba.data(), bb.data(), size_t(na)) != 0)
            return false;
        if (na == 0)
            return true;
    }
}

bool RemoveIfUnchanged(const QString &path, const FileStamp &stamp)
{
    if (!stamp.exists() || StampOf(path) != stamp)
        return false;
    return ::unlink(QFile::encodeName(path).constData()) == 0;
}

bool AppendDurably(const QString &path, const QByteArray &bytes, QString *error)
{
    Fd fd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600));
    auto fail = [&] {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    };
    if (fd.fd < 0)
        return fail();
    const char *data = bytes.constData();
    size_t left = size_t(bytes.size());
    while (left > 0) {
        const ssize_t n = ::write(fd.fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail();
        data += n;
        left -= size_t(n);
    }
    if (::fdatasync(fd.fd) != 0)
        return fail();
    return true;
}

QStringList CopyLeftovers(const QString &folder)
{
    QStringList found;
    const QDir dir(folder);
    const QStringList names =
        dir.entryList({QStringLiteral(".gd-*.part")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &n : names)
        found << dir.filePath(n);
    return found;
}

bool IsPrefixOf(const QString &part, const QString &whole)
{
    Fd fp(::open(QFile::encodeName(part).constData(), O_RDONLY | O_CLOEXEC));
    Fd fw(::open(QFile::encodeName(whole).constData(), O_RDONLY | O_CLOEXEC));
    struct stat sp, sw;
    if (fp.fd < 0 || fw.fd < 0 || ::fstat(fp.fd, &sp) != 0 || ::fstat(fw.fd, &sw) != 0 ||
        !S_ISREG(sp.st_mode) || !S_ISREG(sw.st_mode) || sp.st_size > sw.st_size)
        return false;
    std::vector<char> bp(1 << 20), bw(1 << 20);
    for (;;) {
        const ssize_t np = readSome(fp.fd, bp.data(), bp.size());
        if (np < 0)
            return false;
        if (np == 0)
            return true;
        const ssize_t nw = readSome(fw.fd, bw.data(), size_t(np));
        if (nw != np || std::memcmp(bp.data(), bw.data(), size_t(np)) != 0)
            return false;
    }
}
