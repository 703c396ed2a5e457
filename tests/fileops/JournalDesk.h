#pragma once
// A temporary tree for the journal tests: a trash of its own (XDG_DATA_HOME),
// an application folder, file operations that fail on demand, and snapshots
// of every file's name, bytes and modification time.
#include "FileCensus.h"
#include "platform/FileOps.h"
#include "platform/FileStamp.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

namespace journal_test
{
// The real operations; the `failAt`-th call (counted from 1) fails.
struct FlakyOps : FileOps {
    int calls = 0;
    int failAt = -1;
    QString failPath; // or: any operation on this path fails
    bool fails(const QString &a, const QString &b)
    {
        return ++calls == failAt || (!failPath.isEmpty() && (a == failPath || b == failPath));
    }
    FileOpOutcome copyFile(const QString &s, const QString &t) override
    {
        if (fails(s, t))
            return {FileOpResult::Failed, QStringLiteral("injected")};
        return FileOps::copyFile(s, t);
    }
    FileOpOutcome moveFile(const QString &s, const QString &t) override
    {
        if (fails(s, t))
            return {FileOpResult::Failed, QStringLiteral("injected")};
        return FileOps::moveFile(s, t);
    }
    FileOpOutcome renameFile(const QString &s, const QString &t) override
    {
        if (fails(s, t))
            return {FileOpResult::Failed, QStringLiteral("injected")};
        return FileOps::renameFile(s, t);
    }
    FileOpOutcome moveToTrash(const QString &p, TrashedFile *where = nullptr) override
    {
        if (fails(p, p))
            return {FileOpResult::Failed, QStringLiteral("injected")};
        return FileOps::moveToTrash(p, where);
    }
};

struct FileState {
    QByteArray bytes;
    int64_t mtimeNs = 0;
    bool operator==(const FileState &) const = default;
};
using Snapshot = QMap<QString, FileState>;

// Every file under `root`, by path relative to it.
inline Snapshot snapshot(const QString &root)
{
    Snapshot s;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        s.insert(QDir(root).relativeFilePath(path), {readAll(path), StampOf(path).mtimeNs});
    }
    return s;
}

// What differs between two snapshots, for failure messages.
inline std::string snapshotDiff(const Snapshot &now, const Snapshot &expected)
{
    QStringList lines;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (!now.contains(it.key()))
            lines << "missing " + it.key();
        else if (!(now.value(it.key()) == it.value()))
            lines << "changed " + it.key();
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (!expected.contains(it.key()))
            lines << "extra " + it.key();
    return lines.mid(0, 20).join('\n').toStdString();
}

inline void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

// A private trash for the whole test, restored afterwards.
struct PrivateTrash {
    QTemporaryDir home;
    QByteArray old = qgetenv("XDG_DATA_HOME");
    PrivateTrash() { qputenv("XDG_DATA_HOME", QFile::encodeName(home.path())); }
    ~PrivateTrash()
    {
        if (old.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", old);
    }
    QString files() const { return home.path() + QStringLiteral("/Trash/files"); }
};
} // namespace journal_test
