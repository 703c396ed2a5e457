#include "platform/SameFile.h"

#include <QFile>
#include <sys/stat.h>

namespace
{
struct Place {
    bool exists = false;
    bool folderKnown = false;
    struct stat st {
    };
    struct stat folder {
    };
    QByteArray name;
};

Place placeOf(const QString &path)
{
    Place p;
    const QByteArray bytes = QFile::encodeName(path);
    p.exists = ::lstat(bytes.constData(), &p.st) == 0;
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : bytes.left(slash);
    p.name = bytes.mid(slash + 1);
    p.folderKnown = ::stat(folder.constData(), &p.folder) == 0;
    return p;
}
} // namespace

bool SameFile(const QString &a, const QString &b)
{
    const Place pa = placeOf(a), pb = placeOf(b);
    if (pa.exists && pb.exists)
        return pa.st.st_dev == pb.st.st_dev && pa.st.st_ino == pb.st.st_ino;
    if (pa.exists != pb.exists)
        return false;
    return pa.folderKnown && pb.folderKnown && pa.folder.st_dev == pb.folder.st_dev &&
           pa.folder.st_ino == pb.folder.st_ino && pa.name == pb.name;
}
