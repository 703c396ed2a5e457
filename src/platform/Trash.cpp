#include "platform/Trash.h"

#include "platform/SafeOpen.h"
#include "platform/SystemError.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

constexpr int kInfoSuffix = 10; // ".trashinfo"
constexpr int kSequentialTries = 100;
constexpr int kTries = 200;

struct Fd {
    int fd = -1;
    Fd() = default;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    Fd &operator=(Fd &&o) noexcept
    {
        std::swap(fd, o.fd);
        return *this;
    }
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool valid() const { return fd >= 0; }
};

FileOpOutcome fail(FileOpResult result, const QString &detail)
{
    return {result, detail};
}

FileOpOutcome failAt(int err, const QString &where)
{
    FileOpOutcome o = FileOpFailure(err);
    // A trash folder missing is no missing picture.
    if (o.result == FileOpResult::SourceMissing)
        o.result = FileOpResult::Failed;
    o.detail = where + QStringLiteral("：") + o.detail;
    return o;
}

QString homeFolder()
{
    const QByteArray home = qgetenv("HOME");
    if (!home.isEmpty() && home.startsWith('/'))
        return QFile::decodeName(home);
    std::vector<char> buf(16384);
    struct passwd pw, *found = nullptr;
    if (::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found) == 0 && found && found->pw_dir)
        return QFile::decodeName(found->pw_dir);
    return {};
}

// The device of `path`, or of its nearest existing ancestor.
bool deviceOf(QByteArray path, dev_t &dev)
{
    struct stat st;
    while (!path.isEmpty()) {
        if (::stat(path.constData(), &st) == 0) {
            dev = st.st_dev;
            return true;
        }
        const qsizetype slash = path.lastIndexOf('/');
        path = slash <= 0 ? QByteArray("/") : path.left(slash);
        if (path == "/" && ::stat("/", &st) == 0) {
            dev = st.st_dev;
            return true;
        }
    }
    return false;
}

// Creates the folder and its missing parents, each private.
int makePrivatePath(const QByteArray &path)
{
    for (qsizetype i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/')
            continue;
        const QByteArray part = path.left(i);
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    return 0;
}

// A trash folder of ours: a real folder (never a link), owned by us, with
// files/ and info/ inside.
struct TrashDir {
    QByteArray path;
    Fd files, info;
};

int openTrash(const QByteArray &path, bool create, TrashDir &out)
{
    if (create && ::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return errno;
    Fd dir(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!dir.valid())
        return errno;
    struct stat st;
    if (::fstat(dir.fd, &st) != 0)
        return errno;
    if (st.st_uid != ::getuid())
        return EACCES;
    for (const char *sub : {"files", "info"}) {
        if (::mkdirat(dir.fd, sub, 0700) != 0 && errno != EEXIST)
            return errno;
        Fd fd(::openat(dir.fd, sub, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!fd.valid())
            return errno;
        (sub[0] == 'f' ? out.files : out.info) = std::move(fd);
    }
    out.path = path;
    return 0;
}

// The top directory (mount point) of the file system holding `folder`.
QByteArray topDirectory(QByteArray folder, dev_t dev)
{
    struct stat st;
    while (folder != "/") {
        const qsizetype slash = folder.lastIndexOf('/');
        const QByteArray parent = slash <= 0 ? QByteArray("/") : folder.left(slash);
        if (::stat(parent.constData(), &st) != 0 || st.st_dev != dev)
            break;
        folder = parent;
    }
    return folder;
}

// $topdir/.Trash/$uid when the administrator made a shared, sticky .Trash;
// else $topdir/.Trash-$uid.
int openTopTrash(const QByteArray &top, TrashDir &out)
{
    const QByteArray base = top == "/" ? QByteArray() : top;
    const QByteArray uid = QByteArray::number(::getuid());
    struct stat st;
    const QByteArray shared = base + "/.Trash";
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) &&
        openTrash(shared + '/' + uid, true, out) == 0)
        return 0;
    return openTrash(base + "/.Trash-" + uid, true, out);
}

bool isContinuation(char c)
{
    return (uchar(c) & 0xc0) == 0x80;
}

// The first at most `n` bytes of `s`, not splitting a UTF-8 character.
QByteArray cutUtf8(const QByteArray &s, qsizetype n)
{
    if (s.size() <= n)
        return s;
    while (n > 0 && isContinuation(s[n]))
        --n;
    return s.left(n);
}

QByteArray infoText(const QByteArray &path)
{
    char date[32];
    const time_t now = ::time(nullptr);
    struct tm local;
    ::localtime_r(&now, &local);
    ::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + path.toPercentEncoding("/") + "\nDeletionDate=" + date + "\n";
}

bool writeAll(int fd, const QByteArray &data)
{
    qsizetype done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += n;
    }
    return true;
}

int renameNoReplace(int fromDir, const char *from, int toDir, const char *to)
{
    if (::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0)
        return 0;
    const int err = errno;
    if (err != EINVAL && err != ENOSYS && err != EOPNOTSUPP)
        return err;
    struct stat st;
    if (::fstatat(toDir, to, &st, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    return ::renameat(fromDir, from, toDir, to) == 0 ? 0 : errno;
}

// Puts the file into `trash`: the .trashinfo first (exclusive), then the
// file by rename. `recorded` is the Path written into the .trashinfo.
FileOpOutcome moveInto(const QByteArray &file, const struct stat &before, const QByteArray &recorded,
                       TrashDir &trash, TrashedFile *where, int &renameErr)
{
    renameErr = 0;
    long limit = ::fpathconf(trash.info.fd, _PC_NAME_MAX);
    if (limit <= 0)
        limit = 255;
    const long filesLimit = ::fpathconf(trash.files.fd, _PC_NAME_MAX);
    const int budget = int(std::min(limit - kInfoSuffix, filesLimit > 0 ? filesLimit : limit));
    const QByteArray name = file.mid(file.lastIndexOf('/') + 1);
    const QByteArray text = infoText(recorded);
    for (int attempt = 0; attempt < kTries; ++attempt) {
        const QByteArray entry = TrashEntryName(name, attempt, budget);
        const QByteArray info = entry + ".trashinfo";
        Fd fd(::openat(trash.info.fd, info.constData(), O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC,
                       0600));
        if (!fd.valid()) {
            if (errno == EEXIST)
                continue;
            return failAt(errno, QFile::decodeName(trash.path + "/info"));
        }
        struct stat st;
        if (::fstatat(trash.files.fd, entry.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            // A file without its .trashinfo holds this name: leave it alone.
            ::unlinkat(trash.info.fd, info.constData(), 0);
            continue;
        }
        if (!writeAll(fd.fd, text) || ::fsync(fd.fd) != 0) {
            const int err = errno;
            ::unlinkat(trash.info.fd, info.constData(), 0);
            return failAt(err, QFile::decodeName(trash.path + "/info"));
        }
        if (const int err = renameNoReplace(AT_FDCWD, file.constData(), trash.files.fd, entry.constData())) {
            ::unlinkat(trash.info.fd, info.constData(), 0);
            if (err == EEXIST)
                continue;
            renameErr = err;
            return FileOpFailure(err);
        }
        if (::fstatat(trash.files.fd, entry.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            st.st_dev != before.st_dev || st.st_ino != before.st_ino)
            return fail(FileOpResult::Failed, QStringLiteral("ごみ箱に入ったことを確かめられませんでした"));
        if (where) {
            where->trashedPath = QFile::decodeName(trash.path + "/files/" + entry);
            where->infoPath = QFile::decodeName(trash.path + "/info/" + info);
        }
        return {};
    }
    return fail(FileOpResult::Failed, QStringLiteral("ごみ箱に空いた名前がありません"));
}

QByteArray realFolder(const QByteArray &folder)
{
    char *real = ::realpath(folder.constData(), nullptr);
    if (!real)
        return {};
    QByteArray out(real);
    ::free(real);
    return out;
}

QString readInfoPath(const TrashedFile &entry)
{
    const SmallFile f = ReadSmallFile(entry.infoPath, 64 * 1024);
    if (!f.ok)
        return {};
    for (const QByteArray &line : f.data.split('\n')) {
        if (!line.startsWith("Path="))
            continue;
        const QByteArray path = QByteArray::fromPercentEncoding(line.mid(5).trimmed());
        if (path.startsWith('/'))
            return QFile::decodeName(path);
        // Relative to the top directory: <top>/.Trash-uid/info or <top>/.Trash/uid/info.
        QDir dir = QFileInfo(entry.infoPath).dir();
        dir.cdUp();
        if (!dir.dirName().startsWith(QStringLiteral(".Trash-")))
            dir.cdUp();
        dir.cdUp();
        return dir.absoluteFilePath(QFile::decodeName(path));
    }
    return {};
}

} // namespace

QByteArray TrashEntryName(const QByteArray &name, int attempt, int limit)
{
    QByteArray suffix;
    if (attempt >= kSequentialTries)
        suffix = '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
    else if (attempt > 0)
        suffix = '.' + QByteArray::number(attempt + 1);
    const qsizetype dot = name.lastIndexOf('.');
    QByteArray stem = name, ext;
    if (dot > 0 && name.size() - dot <= 16) {
        stem = name.left(dot);
        ext = name.mid(dot);
    }
    if (stem.size() + suffix.size() + ext.size() <= limit)
        return stem + suffix + ext;
    qsizetype room = limit - suffix.size() - ext.size();
    if (room < 1) {
        ext.clear();
        room = limit - suffix.size();
    }
    return cutUtf8(stem, room) + suffix + ext;
}

QString HomeTrashPath()
{
    const QByteArray xdg = qgetenv("XDG_DATA_HOME");
    if (!xdg.isEmpty() && xdg.startsWith('/'))
        return QDir::cleanPath(QFile::decodeName(xdg)) + QStringLiteral("/Trash");
    const QString home = homeFolder();
    if (home.isEmpty())
        return {};
    return QDir::cleanPath(home + QStringLiteral("/.local/share/Trash"));
}

FileOpOutcome TrashFile(const QString &path, TrashedFile *where, const QString &topDirForTests)
{
    const QString absolute = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    const QByteArray file = QFile::encodeName(absolute);
    struct stat st;
    if (::lstat(file.constData(), &st) != 0)
        return FileOpFailure(errno);
    const QByteArray name = file.mid(file.lastIndexOf('/') + 1);
    const QByteArray folder = realFolder(file.left(std::max<qsizetype>(1, file.lastIndexOf('/'))));
    if (folder.isEmpty())
        return FileOpFailure(errno);
    if (where)
        where->originalPath = absolute;

    int renameErr = 0;
    const QString home = HomeTrashPath();
    dev_t homeDev = 0;
    if (topDirForTests.isEmpty() && !home.isEmpty() && deviceOf(QFile::encodeName(home), homeDev) &&
        homeDev == st.st_dev) {
        const QByteArray trashPath = QFile::encodeName(home);
        TrashDir trash;
        int err = makePrivatePath(trashPath);
        if (!err)
            err = openTrash(trashPath, false, trash);
        if (err)
            return failAt(err, home);
        const FileOpOutcome o = moveInto(file, st, file, trash, where, renameErr);
        // A bind mount shares the device number but not renames: try the
        // file system's own trash then.
        if (renameErr != EXDEV)
            return o;
    }

    const QByteArray top =
        topDirForTests.isEmpty() ? topDirectory(folder, st.st_dev) : QFile::encodeName(topDirForTests);
    TrashDir trash;
    if (const int err = openTopTrash(top, trash)) {
        FileOpOutcome o = FileOpFailure(err);
        o.result = FileOpResult::Failed;
        o.detail = QStringLiteral("このファイルシステム（%1）にはごみ箱を使えません：%2")
                       .arg(QFile::decodeName(top), o.detail);
        return o;
    }
    const QByteArray real = folder + '/' + name;
    const QByteArray relative = top == "/" ? real.mid(1) : real.mid(top.size() + 1);
    FileOpOutcome o = moveInto(file, st, relative, trash, where, renameErr);
    if (renameErr == EXDEV)
        o.detail = QStringLiteral("このファイルシステム（%1）にはごみ箱を使えません：%2")
                       .arg(QFile::decodeName(top), o.detail);
    return o;
}

FileOpOutcome RestoreTrashedFile(const TrashedFile &entry)
{
    const QByteArray from = QFile::encodeName(entry.trashedPath);
    struct stat st;
    if (entry.trashedPath.isEmpty() || ::lstat(from.constData(), &st) != 0)
        return fail(FileOpResult::SourceMissing, SystemErrorText(ENOENT));
    const QString target = entry.originalPath.isEmpty() ? readInfoPath(entry) : entry.originalPath;
    if (target.isEmpty() || !target.startsWith(QLatin1Char('/')))
        return fail(FileOpResult::Failed, QStringLiteral("元の場所がわかりません"));
    const QByteArray to = QFile::encodeName(target);
    const QByteArray folder = to.left(std::max<qsizetype>(1, to.lastIndexOf('/')));
    struct stat dir;
    if (::stat(folder.constData(), &dir) != 0 || !S_ISDIR(dir.st_mode))
        return fail(FileOpResult::TargetFolderMissing, SystemErrorText(ENOENT));
    if (const int err = renameNoReplace(AT_FDCWD, from.constData(), AT_FDCWD, to.constData()))
        return FileOpFailure(err);
    if (!entry.infoPath.isEmpty())
        ::unlink(QFile::encodeName(entry.infoPath).constData());
    return {};
}
