#include "platform/TempParts.h"

#include <QPair>
#include <QRandomGenerator>
#include <QSet>
#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

// Temporaries carry the id of the process writing them, so that another
// instance can tell a live one from one left by a crash.
QByteArray tempName()
{
    return ".gd-" + QByteArray::number(::getpid()) + '-' +
           QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".part";
}

namespace
{
const struct timespec kStarted = [] {
    struct timespec t;
    ::clock_gettime(CLOCK_REALTIME, &t);
    return t;
}();

// A temporary of ours left by a process that no longer runs (or from before
// temporaries named their writer, and older than this process).
bool staleTemp(int dir, const char *name)
{
    const QByteArray n(name);
    if (!n.startsWith(".gd-") || !n.endsWith(".part"))
        return false;
    struct stat st;
    if (::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
        return false;
    const QByteArray middle = n.mid(4, n.size() - 9);
    const qsizetype dash = middle.indexOf('-');
    bool numeric = false;
    const qint64 pid = dash > 0 ? middle.left(dash).toLongLong(&numeric) : 0;
    if (numeric && pid > 0) {
        if (pid == ::getpid())
            return false;
        return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
    }
    return st.st_ctim.tv_sec < kStarted.tv_sec;
}

} // namespace

void sweepStaleTemps(int dir)
{
    static std::mutex lock;
    static QSet<QPair<quint64, quint64>> swept;
    struct stat st;
    if (::fstat(dir, &st) != 0)
        return;
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (swept.contains({quint64(st.st_dev), quint64(st.st_ino)}))
            return;
        swept.insert({quint64(st.st_dev), quint64(st.st_ino)});
    }
    const int copy = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (copy < 0)
        return;
    DIR *d = ::fdopendir(copy);
    if (!d) {
        ::close(copy);
        return;
    }
    while (const struct dirent *e = ::readdir(d)) {
        if (e->d_name[0] == '.' && staleTemp(dir, e->d_name))
            ::unlinkat(dir, e->d_name, 0);
    }
    ::closedir(d);
}
