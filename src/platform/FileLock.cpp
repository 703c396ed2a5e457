#include "platform/FileLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QRecursiveMutex>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace
{

struct Held {
    int fd = -1;
    int depth = 0;
};

// Held for as long as any FileLock of this process lives.
QRecursiveMutex &processMutex()
{
    static QRecursiveMutex m;
    return m;
}

// Lock files this process holds, by path (under processMutex).
QHash<QString, Held> &heldLocks()
{
    static QHash<QString, Held> h;
    return h;
}

int lockFile(const QString &path, int timeoutMs)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return -1;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0)
            return fd;
        if (errno != EWOULDBLOCK && errno != EINTR)
            break;
        if (clock.elapsed() >= timeoutMs)
            break;
        QThread::msleep(5);
    }
    ::close(fd);
    return -1;
}

} // namespace

FileLock::FileLock(const QString &lockPath, int timeoutMs) : path_(lockPath)
{
    processMutex().lock();
    Held &h = heldLocks()[path_];
    if (h.depth == 0)
        h.fd = lockFile(path_, timeoutMs);
    ++h.depth;
    locked_ = h.fd >= 0;
}

FileLock::~FileLock()
{
    auto &held = heldLocks();
    auto it = held.find(path_);
    if (it != held.end() && --it->depth == 0) {
        if (it->fd >= 0)
            ::close(it->fd); // releases the lock
        held.erase(it);
    }
    processMutex().unlock();
}

QString FileLock::forFolder(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral(".glimmerdeck.lock"));
}
