#include "lists/History.h"

#include "common/PictureList.h"
#include "common/Prompter.h"
#include "lists/ListFile.h"
#include "platform/FileLock.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{
const QString kNoPictureThere = QStringLiteral("指定された場所に画像が存在しません。");
const QString kClearQuestion = QStringLiteral("履歴のリストを消去してもよいですか？");
} // namespace

History::History(QString folder) : folder_(std::move(folder)) {}

QString History::filePath(int k) const
{
    return QDir(folder_).filePath(QStringLiteral("gd%1.lst").arg(k));
}

bool History::exists(int k) const
{
    return QFileInfo(filePath(k)).isFile();
}

int History::compact() const
{
    int j = 0;
    for (int k = 1; k <= kMaxEntries; ++k) {
        if (!exists(k))
            continue;
        ++j;
        // QFile::rename never replaces an existing file, so a failed rename
        // leaves both files in place; the count below stays honest.
        if (j != k)
            QFile::rename(filePath(k), filePath(j));
    }
    int n = 0;
    while (n < kMaxEntries && exists(n + 1))
        ++n;
    return n;
}

QString History::entryCaption(int k) const
{
    const FileLock lock(FileLock::forFolder(folder_));
    QString first;
    if (!readFirstListLine(filePath(k), first))
        return {};
    return first.left(first.lastIndexOf(u'/') + 1);
}

QStringList History::ListCheck(Settings &settings)
{
    const FileLock lock(FileLock::forFolder(folder_));
    const int n = compact();
    QStringList captions;
    for (int k = 1; k <= n; ++k)
        captions.append(entryCaption(k));
    settings.Window.ListMax = n;
    return captions;
}

void History::add(const QStringList &list, int n) const
{
    if (n >= kMaxEntries) {
        QFile::remove(filePath(kMaxEntries));
        n = kMaxEntries;
    } else {
        ++n;
    }
    for (int c = n; c >= 2; --c)
        QFile::rename(filePath(c - 1), filePath(c));
    // If entry 1 could not be moved out of the way, writing would destroy it.
    if (exists(1))
        return;
    writeListLines(filePath(1), list);
}

int History::RecordHistory(const QStringList &given)
{
    // Other instances share the folder: everything below is read afresh
    // under the lock, and the renames of one instance never interleave
    // with another's.
    const FileLock lock(FileLock::forFolder(folder_));
    int n = compact();
    // A path holding a line break cannot be stored in a line-based file.
    const QStringList list = StorablePaths(given);
    if (list.isEmpty())
        return n;
    for (int i = 1; i <= n; ++i) {
        // Lists of other folders differ in their first line already; only a
        // likely twin is read whole.
        QString first;
        if (!readFirstListLine(filePath(i), first) || first != list.first())
            continue;
        QStringList lines;
        if (readListLines(filePath(i), lines) && lines == list) {
            QFile::remove(filePath(i));
            n = compact();
            break;
        }
    }
    add(list, n);
    return compact();
}

History::ReadResult History::readEntry(int tag, Settings &settings, PictureList &list, bool shortcutRun,
                                       Prompter &prompter)
{
    const FileLock lock(FileLock::forFolder(folder_));
    if (tag < 1 || tag > kMaxEntries || !exists(tag)) {
        settings.Window.ListMax = compact();
        return ReadResult::Vanished;
    }
    QStringList lines;
    const bool readable = readListLines(filePath(tag), lines);
    if (readable && !lines.isEmpty() && !shortcutRun) {
        // Drop this entry first, so that a duplicate further up cannot take
        // its place, then record it again at the front.
        QFile::remove(filePath(tag));
        settings.Window.ListMax = RecordHistory(lines);
    }
    list.clear();
    list.setSorted(false);
    list.replace(lines);
    if (list.isEmpty() || !QFileInfo(list.at(0)).isFile()) {
        list.clear();
        prompter.error(kNoPictureThere);
        return ReadResult::NoPicture;
    }
    return ReadResult::Loaded;
}

bool History::clear(Settings &settings, Prompter &prompter)
{
    if (!prompter.confirm(kClearQuestion))
        return false;
    const FileLock lock(FileLock::forFolder(folder_));
    for (int k = 1; k <= kMaxEntries; ++k)
        QFile::remove(filePath(k));
    settings.Window.ListMax = 0;
    return true;
}
