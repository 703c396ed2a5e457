#pragma once
// Helpers for the file-operation tests: files with unique content, a census
// of every file under some folders by content, and running as an ordinary
// user for permission checks.
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QStringList>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

// Writes `size` bytes unique to this file (starting with its path) and
// returns them.
inline QByteArray writeUnique(const QString &path, int size = 4096)
{
    QByteArray data = path.toUtf8() + '\n';
    QRandomGenerator rng(qHash(path) ^ quint32(size));
    while (data.size() < size)
        data.append(char(rng.generate() & 0xff));
    data.resize(size);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
    return data;
}

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every regular file under `roots` (recursively, hidden ones included).
struct Census {
    QMap<QByteArray, QStringList> byContent;
    QStringList hidden; // names starting with "." (a temporary left behind)

    explicit Census(const QStringList &roots)
    {
        for (const QString &root : roots) {
            QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                if (it.fileName().startsWith(QLatin1Char('.')))
                    hidden << path;
                byContent[readAll(path)] << path;
            }
        }
    }
    int count(const QByteArray &content) const { return int(byContent.value(content).size()); }
    QStringList where(const QByteArray &content) const { return byContent.value(content); }
    int files() const
    {
        int n = 0;
        for (const QStringList &paths : byContent)
            n += int(paths.size());
        return n;
    }
};

// While alive, file access is checked as an ordinary user even when the
// tests run as root (setfsuid drops the override of permission bits).
class AsOrdinaryUser
{
public:
    AsOrdinaryUser()
    {
        if (::geteuid() == 0)
            previous_ = ::setfsuid(65534);
    }
    ~AsOrdinaryUser()
    {
        if (previous_ >= 0)
            ::setfsuid(uid_t(previous_));
    }
    AsOrdinaryUser(const AsOrdinaryUser &) = delete;
    AsOrdinaryUser &operator=(const AsOrdinaryUser &) = delete;

private:
    int previous_ = -1;
};

// Opens `path` and its parents to everyone, so an ordinary user can reach it.
inline void openToEveryone(const QString &path)
{
    ::chmod(QFile::encodeName(path).constData(), 0777);
}
