#include "platform/TempFolder.h"

#include "platform/FileTree.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// Makes `path` a private folder of ours, or accepts an existing one only
// when it is a real folder (not a link) owned by us; tightens its mode.
bool ensurePrivateFolder(const QString &path, QString *error)
{
    const QByteArray p = QFile::encodeName(path);
    if (mkdir(p.constData(), 0700) != 0 && errno != EEXIST) {
        if (error)
            *error = QStringLiteral("一時フォルダを作成できません: ") + path;
        return false;
    }
    int fd = open(p.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat st;
    bool ok = fd >= 0 && fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid();
    if (ok && (st.st_mode & 077))
        ok = fchmod(fd, 0700) == 0;
    if (fd >= 0)
        close(fd);
    if (!ok && error)
        *error = QStringLiteral("一時フォルダが安全ではありません: ") + path;
    return ok;
}

// True when no running viewer holds the lock file `lock`.
bool lockIsStale(const QString &lock)
{
    int fd = open(QFile::encodeName(lock).constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    const bool stale = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd); // drops our probe lock
    return stale;
}
} // namespace

TempFolder::TempFolder(const QString &tempRoot) : root_(tempRoot.isEmpty() ? QDir::tempPath() : tempRoot) {}

TempFolder::~TempFolder()
{
    if (lockFd_ >= 0)
        close(lockFd_);
}

bool TempFolder::setUp(QString *error)
{
    const QString user = root_ + QStringLiteral("/glimmerdeck-") + QString::number(geteuid());
    pictureFolder_ = user + QStringLiteral("/picture");
    if (!ensurePrivateFolder(user, error) || !ensurePrivateFolder(pictureFolder_, error))
        return false;

    // Leftovers of viewers that are no longer running.
    if (DIR *d = opendir(QFile::encodeName(pictureFolder_).constData())) {
        QStringList names;
        while (dirent *e = readdir(d))
            names << QFile::decodeName(e->d_name);
        closedir(d);
        for (const QString &name : std::as_const(names)) {
            if (name.startsWith(QLatin1Char('.')) || name.endsWith(QLatin1String(".lock")))
                continue;
            const QString lock = pictureFolder_ + QLatin1Char('/') + name + QStringLiteral(".lock");
            if (lockIsStale(lock)) {
                DeleteTree(pictureFolder_ + QLatin1Char('/') + name);
                unlink(QFile::encodeName(lock).constData());
            }
        }
    }

    // Lock first, then make the folder: a cleaner never sees our folder
    // without a held lock. Retry if a cleaner removed the lock file between
    // our creating and locking it.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const QString name = QString::number(getpid()) + QLatin1Char('-') +
                             QString::number(QRandomGenerator::global()->generate(), 36);
        const QString lock = pictureFolder_ + QLatin1Char('/') + name + QStringLiteral(".lock");
        const QByteArray lp = QFile::encodeName(lock);
        int fd = open(lp.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            continue;
        struct stat held, onDisk;
        if (flock(fd, LOCK_EX | LOCK_NB) != 0 || fstat(fd, &held) != 0 ||
            stat(lp.constData(), &onDisk) != 0 || held.st_ino != onDisk.st_ino) {
            close(fd);
            continue;
        }
        const QString dir = pictureFolder_ + QLatin1Char('/') + name;
        if (mkdir(QFile::encodeName(dir).constData(), 0700) != 0) {
            unlink(lp.constData());
            close(fd);
            continue;
        }
        lockFd_ = fd;
        lockPath_ = lock;
        path_ = dir;
        return true;
    }
    if (error)
        *error = QStringLiteral("一時フォルダを作成できません: ") + pictureFolder_;
    return false;
}

void TempFolder::remove()
{
    if (path_.isEmpty())
        return;
    DeleteTree(path_);
    unlink(QFile::encodeName(lockPath_).constData());
    if (lockFd_ >= 0)
        close(lockFd_);
    lockFd_ = -1;
    path_.clear();
    lockPath_.clear();
}
