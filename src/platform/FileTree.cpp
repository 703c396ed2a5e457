#include "platform/FileTree.h"

#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
struct DirCloser {
    DIR *d;
    ~DirCloser()
    {
        if (d)
            closedir(d);
    }
};

bool isDots(const char *n)
{
    return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0));
}

QString joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// Removes everything inside the open folder `dfd`; returns whether all went.
bool clearAt(int dfd)
{
    DIR *d = fdopendir(dfd);
    if (!d) {
        close(dfd);
        return false;
    }
    DirCloser closer{d};
    bool all = true;
    while (dirent *e = readdir(d)) {
        if (isDots(e->d_name))
            continue;
        struct stat st;
        if (fstatat(dfd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            all = false;
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            int sub = openat(dfd, e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub < 0 || !clearAt(sub) || unlinkat(dfd, e->d_name, AT_REMOVEDIR) != 0)
                all = false;
        } else if (unlinkat(dfd, e->d_name, 0) != 0) {
            all = false;
        }
    }
    return all;
}
} // namespace

void ListTree(const QString &folder, QStringList &list)
{
    DIR *d = opendir(QFile::encodeName(folder).constData());
    if (!d)
        return;
    DirCloser closer{d};
    while (dirent *e = readdir(d)) {
        if (isDots(e->d_name))
            continue;
        const QString path = joined(folder, QFile::decodeName(e->d_name));
        list.append(path);
        bool dir = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN) {
            struct stat st;
            dir = fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
        }
        if (dir)
            ListTree(path, list);
    }
}

bool DeleteTree(const QString &folder)
{
    const QByteArray p = QFile::encodeName(folder);
    int fd = open(p.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        // A link in the folder's place: remove the link, not its target.
        struct stat st;
        if (lstat(p.constData(), &st) == 0 && S_ISLNK(st.st_mode))
            return unlink(p.constData()) == 0;
        return errno == ENOENT;
    }
    clearAt(fd);
    return rmdir(p.constData()) == 0;
}

bool ForEachFile(const QString &folder, const std::function<void(const QString &name)> &onFile)
{
    DIR *d = opendir(QFile::encodeName(folder).constData());
    if (!d)
        return false;
    DirCloser closer{d};
    while (dirent *e = readdir(d)) {
        if (isDots(e->d_name))
            continue;
        bool dir = e->d_type == DT_DIR;
        if (e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) {
            struct stat st;
            dir = fstatat(dirfd(d), e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
        if (!dir)
            onFile(QFile::decodeName(e->d_name));
    }
    return true;
}

bool PathExists(const QString &path)
{
    struct stat st;
    return stat(QFile::encodeName(path).constData(), &st) == 0;
}

bool IsFolder(const QString &path)
{
    struct stat st;
    return stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsFile(const QString &path)
{
    struct stat st;
    return stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool LastWriteTime(const QString &path, int64_t &ns)
{
    struct stat st;
    if (stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    ns = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}
