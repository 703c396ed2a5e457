#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

constexpr size_t kChunk = size_t(1) << 20;

struct Fd {
    int fd = -1;
    explicit Fd(int f = -1) : fd(f) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool valid() const { return fd >= 0; }
};

QString errnoText(int err)
{
    char buf[256];
    return QString::fromLocal8Bit(strerror_r(err, buf, sizeof buf));
}

FileOpResult classify(int err)
{
    switch (err) {
    case EEXIST:
    case ENOTEMPTY:
        return FileOpResult::TargetExists;
    case EACCES:
    case EPERM:
        return FileOpResult::PermissionDenied;
    case EROFS:
        return FileOpResult::ReadOnly;
    case ENOSPC:
    case EDQUOT:
        return FileOpResult::NoSpace;
    case ENAMETOOLONG:
        return FileOpResult::InvalidName;
    default:
        return FileOpResult::Failed;
    }
}

FileOpOutcome failure(int err)
{
    return {classify(err), errnoText(err)};
}

FileOpOutcome failure(FileOpResult result, int err)
{
    return {result, errnoText(err)};
}

// The last component must be a usable name of its own.
bool validName(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QChar(0));
}

struct SplitPath {
    QByteArray folder; // "." for a bare name
    QByteArray name;
};

SplitPath split(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return {QByteArray("."), QFile::encodeName(path)};
    const QString folder = slash == 0 ? QStringLiteral("/") : path.left(slash);
    return {QFile::encodeName(folder), QFile::encodeName(path.mid(slash + 1))};
}

bool renameUnsupported(int err)
{
    return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Copies everything from the current offset of `in` to `out`: a reflink
// where the file system shares blocks, else in-kernel copying, else
// read/write. Returns 0 or the errno of the failure.
int copyData(int in, int out)
{
    if (::ioctl(out, FICLONE, in) == 0)
        return 0;
    bool inKernel = true;
    bool useSendfile = true;
    bool first = true;
    for (;;) {
        if (inKernel) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kChunk * 8, 0);
            if (n > 0) {
                first = false;
                continue;
            }
            if (n == 0)
                return 0;
            if (errno == EINTR)
                continue;
            // Not offered between these two files: nothing was copied yet.
            if (first && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP ||
                          errno == EBADF)) {
                inKernel = false;
                continue;
            }
            return errno;
        }
        if (useSendfile) {
            const ssize_t n = ::sendfile(out, in, nullptr, kChunk * 8);
            if (n > 0) {
                first = false;
                continue;
            }
            if (n == 0)
                return 0;
            if (errno == EINTR)
                continue;
            if (first && (errno == EINVAL || errno == ENOSYS)) {
                useSendfile = false;
                continue;
            }
            return errno;
        }
        break;
    }
    std::vector<char> buf(kChunk);
    for (;;) {
        const ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        if (!writeAll(out, buf.data(), size_t(n)))
            return errno;
    }
}

// Reads `size` bytes at `offset`, short only at the end of the file.
ssize_t readFully(int fd, char *data, size_t size, off_t offset)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, data + done, size - done, offset + off_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        done += size_t(n);
    }
    return ssize_t(done);
}

// True when both files hold the same bytes.
bool sameContent(int a, int b)
{
    struct stat sa, sb;
    if (::fstat(a, &sa) != 0 || ::fstat(b, &sb) != 0 || sa.st_size != sb.st_size)
        return false;
    std::vector<char> ba(kChunk), bb(kChunk);
    for (off_t off = 0;; off += off_t(kChunk)) {
        const ssize_t na = readFully(a, ba.data(), kChunk, off);
        const ssize_t nb = readFully(b, bb.data(), kChunk, off);
        if (na < 0 || nb < 0 || na != nb)
            return false;
        if (std::memcmp(ba.data(), bb.data(), size_t(na)) != 0)
            return false;
        if (size_t(na) < kChunk)
            return true;
    }
}

QByteArray tempName()
{
    return ".gd-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".part";
}

// Writes the content of `in` (described by `st`) to `name` in `dir` without
// ever replacing a file there: the data goes to a hidden temporary, is
// flushed, and the temporary is then renamed onto the free name. With
// `verify`, the written bytes are read back and compared first. On failure
// nothing new is left in `dir`.
FileOpOutcome copyInto(int in, const struct stat &st, int dir, const QByteArray &name, bool verify)
{
    QByteArray temp;
    Fd out;
    for (int attempt = 0; attempt < 100 && !out.valid(); ++attempt) {
        temp = tempName();
        out.fd = ::openat(dir, temp.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
        if (!out.valid() && errno != EEXIST)
            return failure(errno);
    }
    if (!out.valid())
        return failure(EEXIST);

    // The temporary under a name of its own; when publishing it by rename is
    // not offered at all, the data is written straight to the exclusive
    // target instead (it still never replaces anything).
    bool direct = false;
    auto discard = [&](int err) {
        ::unlinkat(dir, direct ? name.constData() : temp.constData(), 0);
        return failure(err);
    };

    for (int pass = 0; pass < 2; ++pass) {
        if (::lseek(in, 0, SEEK_SET) < 0)
            return discard(errno);
        if (const int err = copyData(in, out.fd))
            return discard(err);
        ::fchmod(out.fd, st.st_mode & 0777);
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out.fd, times);
        // A move removes its source next, so its copy must be on the disk
        // first. A copy leaves the original where it was; like cp, it
        // leaves the flushing to the system.
        if (verify && ::fsync(out.fd) != 0)
            return discard(errno);
        if (verify && !sameContent(in, out.fd)) {
            FileOpOutcome o = discard(EIO);
            o.result = FileOpResult::Failed;
            return o;
        }
        if (direct)
            break;
        if (::renameat2(dir, temp.constData(), dir, name.constData(), RENAME_NOREPLACE) == 0)
            break;
        int err = errno;
        if (!renameUnsupported(err))
            return discard(err);
        if (::linkat(dir, temp.constData(), dir, name.constData(), 0) == 0) {
            ::unlinkat(dir, temp.constData(), 0);
            break;
        }
        err = errno;
        if (err != EPERM && err != EOPNOTSUPP && err != ENOSYS)
            return discard(err);
        // Neither a no-replace rename nor hard links here (some network
        // file systems): write again into the target opened exclusively.
        ::unlinkat(dir, temp.constData(), 0);
        ::close(out.fd);
        out.fd = ::openat(dir, name.constData(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0600);
        if (!out.valid())
            return failure(errno);
        direct = true;
    }
    if (verify)
        ::fsync(dir); // the new name itself survives a crash before the source goes
    return {};
}

FileOpOutcome openSource(const QString &source, Fd &in, struct stat &st)
{
    in.fd = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
    if (!in.valid())
        return failure(errno == ENOENT || errno == ENOTDIR ? FileOpResult::SourceMissing : classify(errno),
                       errno);
    if (::fstat(in.fd, &st) != 0)
        return failure(errno);
    if (!S_ISREG(st.st_mode))
        return failure(FileOpResult::Failed, EISDIR);
    return {};
}

FileOpOutcome openTargetFolder(const SplitPath &target, Fd &dir)
{
    dir.fd = ::open(target.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (!dir.valid())
        return failure(
            errno == ENOENT || errno == ENOTDIR ? FileOpResult::TargetFolderMissing : classify(errno), errno);
    return {};
}

bool nameTaken(int dir, const QByteArray &name)
{
    struct stat st;
    return ::fstatat(dir, name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

// Copies `source` to the name `to` in its folder, which must be free;
// `dir` is left open on that folder. `verify`: flush and compare (moves).
FileOpOutcome copyToFree(const QString &source, const SplitPath &to, Fd &dir, bool verify)
{
    Fd in;
    struct stat st;
    if (FileOpOutcome o = openSource(source, in, st); !o.ok())
        return o;
    if (FileOpOutcome o = openTargetFolder(to, dir); !o.ok())
        return o;
    if (nameTaken(dir.fd, to.name))
        return failure(EEXIST);
    return copyInto(in.fd, st, dir.fd, to.name, verify);
}

// Across file systems: copy, verify, then remove the source. When the
// source cannot be removed the copy is taken back, so the file stays
// exactly once where it was.
FileOpOutcome moveByCopy(const QString &source, const QString &target)
{
    const SplitPath from = split(source);
    if (::access(from.folder.constData(), W_OK | X_OK) != 0)
        return failure(errno);
    const SplitPath to = split(target);
    Fd dir;
    if (FileOpOutcome o = copyToFree(source, to, dir, true); !o.ok())
        return o;
    if (::unlink(QFile::encodeName(source).constData()) != 0) {
        const int err = errno;
        ::unlinkat(dir.fd, to.name.constData(), 0);
        return failure(err);
    }
    return {};
}

} // namespace

QString describeFailure(const FileOpOutcome &outcome)
{
    switch (outcome.result) {
    case FileOpResult::Ok:
        return {};
    case FileOpResult::SourceMissing:
        return QStringLiteral("元のファイルが見つかりません。");
    case FileOpResult::TargetExists:
        return QStringLiteral("同じ名前のファイルがすでにあります。");
    case FileOpResult::TargetFolderMissing:
        return QStringLiteral("保存先のフォルダーがありません。");
    case FileOpResult::PermissionDenied:
        return QStringLiteral("アクセスが許可されていません。");
    case FileOpResult::ReadOnly:
        return QStringLiteral("読み取り専用の場所です。");
    case FileOpResult::NoSpace:
        return QStringLiteral("ディスクの空き容量が足りません。");
    case FileOpResult::InvalidName:
        return QStringLiteral("ファイル名が正しくありません。");
    case FileOpResult::Cancelled:
        return QStringLiteral("中止されました。");
    case FileOpResult::Failed:
        break;
    }
    if (outcome.detail.isEmpty())
        return QStringLiteral("処理できませんでした。");
    return QStringLiteral("処理できませんでした。（") + outcome.detail + QStringLiteral("）");
}

FileOpOutcome FileOps::copyFile(const QString &source, const QString &target)
{
    if (!validName(target) || !validName(source))
        return {FileOpResult::InvalidName, {}};
    Fd dir;
    return copyToFree(source, split(target), dir, false);
}

FileOpOutcome FileOps::moveFile(const QString &source, const QString &target)
{
    if (!validName(target) || !validName(source))
        return {FileOpResult::InvalidName, {}};
    const QByteArray src = QFile::encodeName(source);
    const QByteArray dst = QFile::encodeName(target);
    struct stat st;
    if (::lstat(src.constData(), &st) != 0)
        return failure(errno == ENOENT || errno == ENOTDIR ? FileOpResult::SourceMissing : classify(errno),
                       errno);
    const SplitPath to = split(target);
    struct stat dst_dir;
    if (::stat(to.folder.constData(), &dst_dir) != 0 || !S_ISDIR(dst_dir.st_mode))
        return failure(FileOpResult::TargetFolderMissing, ENOENT);

    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return {};
    int err = errno;
    if (renameUnsupported(err)) {
        // No no-replace rename here: a hard link cannot replace either.
        if (::link(src.constData(), dst.constData()) == 0) {
            if (::unlink(src.constData()) == 0)
                return {};
            err = errno;
            ::unlink(dst.constData());
            return failure(err);
        }
        err = errno;
        if (err == EPERM || err == EOPNOTSUPP || err == ENOSYS || err == EMLINK)
            err = EXDEV;
    }
    if (err == EXDEV)
        return moveByCopy(source, target);
    if (err == ENOENT) {
        if (::lstat(src.constData(), &st) != 0)
            return failure(FileOpResult::SourceMissing, err);
        return failure(FileOpResult::TargetFolderMissing, err);
    }
    return failure(err);
}

FileOpOutcome FileOps::moveToTrash(const QString &path, TrashedFile *where)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return failure(errno == ENOENT || errno == ENOTDIR ? FileOpResult::SourceMissing : classify(errno),
                       errno);
    QFile file(path);
    if (file.moveToTrash()) {
        if (where) {
            // QFile now names the file inside <trash>/files; its description
            // sits in <trash>/info under the same name.
            const QString trashed = file.fileName();
            const QFileInfo info(trashed);
            where->originalPath = QFileInfo(path).absoluteFilePath();
            where->trashedPath = trashed;
            where->infoPath = info.dir().absolutePath() + QStringLiteral("/../info/") + info.fileName() +
                              QStringLiteral(".trashinfo");
            where->infoPath = QDir::cleanPath(where->infoPath);
        }
        return {};
    }
    if (!QFile::exists(path) && !QFileInfo(path).isSymLink())
        return {FileOpResult::SourceMissing, file.errorString()};
    return {FileOpResult::Failed, file.errorString()};
}

FileOpOutcome FileOps::restoreFromTrash(const TrashedFile &entry)
{
    if (entry.trashedPath.isEmpty() || entry.originalPath.isEmpty())
        return {FileOpResult::InvalidName, {}};
    const FileOpOutcome moved = moveFile(entry.trashedPath, entry.originalPath);
    if (!moved.ok())
        return moved;
    if (!entry.infoPath.isEmpty())
        ::unlink(QFile::encodeName(entry.infoPath).constData());
    return {};
}

FileOps &systemFileOps()
{
    static FileOps ops;
    return ops;
}

bool NameTaken(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}
