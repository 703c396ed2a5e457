#include "platform/FileOps.h"

#include "platform/FileOpsHooks.h"
#include "platform/SafeOpen.h"
#include "platform/SystemError.h"
#include "platform/TempParts.h"
#include "platform/Trash.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
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

std::function<void()> &copiedHook()
{
    static std::function<void()> hook;
    return hook;
}

QString errnoText(int err)
{
    return SystemErrorText(err);
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

// Publishes an unnamed temporary under `name`; never replaces.
int linkTemp(int fd, int dir, const QByteArray &name)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    if (::linkat(AT_FDCWD, self.constData(), dir, name.constData(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    if (errno != ENOENT || ::access("/proc/self/fd", F_OK) == 0)
        return errno;
    return ::linkat(fd, "", dir, name.constData(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

// Fills the open temporary `out` from `in` (mode and times kept), flushed
// and read back when `verify`. Returns 0 or an errno.
int fill(int in, const struct stat &st, int out, bool verify)
{
    if (::lseek(in, 0, SEEK_SET) < 0)
        return errno;
    if (const int err = copyData(in, out))
        return err;
    ::fchmod(out, st.st_mode & 0777);
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out, times);
    // A move removes its source next, so its copy must be on the disk
    // first. A copy leaves the original where it was; like cp, it leaves
    // the flushing to the system.
    if (verify && ::fsync(out) != 0)
        return errno;
    if (verify && !sameContent(in, out))
        return EIO;
    return 0;
}

// Where the file system offers it, the copy is written to a file with no
// name at all and linked under its name once complete: a crash leaves
// nothing behind. Returns false when that is not offered here.
bool copyUnnamed(int in, const struct stat &st, int dir, const QByteArray &name, bool verify,
                 FileOpOutcome &outcome)
{
    Fd out(::openat(dir, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (!out.valid())
        return false;
    if (const int err = fill(in, st, out.fd, verify)) {
        outcome = failure(err);
        return true;
    }
    const int err = linkTemp(out.fd, dir, name);
    if (err == EPERM || err == EOPNOTSUPP || err == ENOSYS || err == EXDEV)
        return false;
    outcome = err ? failure(err) : FileOpOutcome{};
    if (!err && verify)
        ::fsync(dir); // the new name itself survives a crash before the source goes
    return true;
}

// Writes the content of `in` (described by `st`) to `name` in `dir` without
// ever replacing a file there: the data goes to a hidden temporary, is
// flushed, and the temporary is then renamed onto the free name. With
// `verify`, the written bytes are read back and compared first. On failure
// nothing new is left in `dir`.
FileOpOutcome copyInto(int in, const struct stat &st, int dir, const QByteArray &name, bool verify)
{
    if (FileOpOutcome o; copyUnnamed(in, st, dir, name, verify, o))
        return o;
    QByteArray temp;
    Fd out;
    for (int attempt = 0; attempt < 100 && !out.valid(); ++attempt) {
        temp = tempName();
        out.fd = ::openat(dir, temp.constData(), O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (!out.valid() && errno != EEXIST)
            return failure(errno);
    }
    if (!out.valid())
        return failure(EEXIST);
    struct stat tst;
    if (::fstat(out.fd, &tst) != 0 || !S_ISREG(tst.st_mode)) {
        ::unlinkat(dir, temp.constData(), 0);
        return failure(EINVAL);
    }

    // The temporary under a name of its own; when publishing it by rename is
    // not offered at all, the data is written straight to the exclusive
    // target instead (it still never replaces anything).
    bool direct = false;
    auto discard = [&](int err) {
        ::unlinkat(dir, direct ? name.constData() : temp.constData(), 0);
        return failure(err);
    };

    for (int pass = 0; pass < 2; ++pass) {
        if (const int err = fill(in, st, out.fd, verify)) {
            FileOpOutcome o = discard(err);
            if (err == EIO)
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
        out.fd = ::openat(dir, name.constData(), O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (!out.valid())
            return failure(errno);
        direct = true;
    }
    if (verify)
        ::fsync(dir); // the new name itself survives a crash before the source goes
    return {};
}

FileOpOutcome notAFile(const QString &what)
{
    return {FileOpResult::Failed, what + QStringLiteral("で、画像のファイルではありません")};
}

// A copy reads through a link to a picture; a move takes the name itself.
FileOpOutcome openSource(const QString &source, Fd &in, struct stat &st, bool noFollow)
{
    int err = 0;
    QString why;
    in.fd = OpenRegularFile(QFile::encodeName(source), noFollow, st, err, why);
    if (in.valid())
        return {};
    if (!why.isEmpty())
        return notAFile(why);
    return failure(err == ENOENT || err == ENOTDIR ? FileOpResult::SourceMissing : classify(err), err);
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
// `in` and `st` are left on the source. A move (`verify`) flushes and compares.
FileOpOutcome copyToFree(const QString &source, const SplitPath &to, Fd &dir, Fd &in, struct stat &st,
                         bool verify)
{
    if (FileOpOutcome o = openSource(source, in, st, verify); !o.ok())
        return o;
    if (FileOpOutcome o = openTargetFolder(to, dir); !o.ok())
        return o;
    sweepStaleTemps(dir.fd);
    if (nameTaken(dir.fd, to.name))
        return failure(EEXIST);
    return copyInto(in.fd, st, dir.fd, to.name, verify);
}

// Across file systems: copy, verify, then remove the source, but only while
// its name still holds the file that was copied. When another program put
// a new file under that name meanwhile, both stay and the move says so;
// when the source cannot be removed the copy is taken back, so the file
// stays exactly once where it was.
FileOpOutcome moveByCopy(const QString &source, const QString &target)
{
    const SplitPath from = split(source);
    Fd srcDir(::open(from.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!srcDir.valid())
        return failure(errno);
    if (::faccessat(srcDir.fd, ".", W_OK | X_OK, 0) != 0)
        return failure(errno);
    const SplitPath to = split(target);
    Fd dir, in;
    struct stat copied;
    if (FileOpOutcome o = copyToFree(source, to, dir, in, copied, true); !o.ok())
        return o;
    if (copiedHook())
        copiedHook()();
    struct stat now;
    if (::fstatat(srcDir.fd, from.name.constData(), &now, AT_SYMLINK_NOFOLLOW) != 0) {
        // Gone meanwhile: the copy is the picture now.
        return {};
    }
    if (now.st_dev != copied.st_dev || now.st_ino != copied.st_ino)
        return {FileOpResult::Failed,
                QStringLiteral("移動中に元の名前へ別のファイルが置かれたため、両方とも残しました")};
    if (::unlinkat(srcDir.fd, from.name.constData(), 0) != 0) {
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
    Fd dir, in;
    struct stat st;
    return copyToFree(source, split(target), dir, in, st, false);
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
    // Only pictures move: a FIFO, device, socket or folder under a picture's
    // name is refused, and so is a link to one of those.
    struct stat target_st;
    if (S_ISLNK(st.st_mode) && ::stat(src.constData(), &target_st) == 0 && !S_ISREG(target_st.st_mode))
        return notAFile(NotAFileText(S_IFLNK) + QStringLiteral("の先が") + NotAFileText(target_st.st_mode));
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return notAFile(NotAFileText(st.st_mode));
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
    return TrashFile(path, where);
}

FileOpOutcome FileOps::restoreFromTrash(const TrashedFile &entry)
{
    return RestoreTrashedFile(entry);
}

FileOpOutcome FileOpFailure(int err)
{
    if (err == ENOENT)
        return failure(FileOpResult::SourceMissing, err);
    return failure(err);
}

void SetMoveCopiedHookForTests(std::function<void()> hook)
{
    copiedHook() = std::move(hook);
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
