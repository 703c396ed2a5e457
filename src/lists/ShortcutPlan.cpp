#include "lists/ShortcutPlan.h"

#include "common/PathUtil.h"
#include "common/Prompter.h"
#include "lists/History.h"
#include "lists/ListFile.h"
#include "settings/Settings.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace
{
// A dangling link still occupies its name.
bool nameTaken(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString withoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}
} // namespace

QString UniqueFileName(const QString &proposed, Prompter &prompter,
                       const std::function<bool(const QString &)> &exists, qint64 maxTries)
{
    const auto taken = [&](const QString &p) { return exists ? exists(p) : nameTaken(p); };
    if (!taken(proposed))
        return proposed;
    const QString ext = FileExt(proposed);
    const QString stem = proposed.left(proposed.size() - ext.size());
    for (qint64 n = 1; n <= maxTries; ++n) {
        const QString candidate = stem + u'_' + NumberTag(int(n)) + ext;
        if (!taken(candidate))
            return candidate;
    }
    prompter.error(kNumberingErrorText);
    return {};
}

QString ShortcutBaseName(const QString &path)
{
    const QString name = FileNamePart(withoutTrailingSlash(path));
    return name.left(name.size() - FileExt(name).size());
}

QString CleanShortcutName(const QString &name)
{
    QString out;
    out.reserve(name.size());
    for (QChar c : name) {
        // C0 controls, DEL and C1 controls: none belongs in a file name or
        // on the launcher's Name line.
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            continue;
        out += c;
    }
    return out.trimmed();
}

ShortcutPlaces ShortcutPlaces::standard()
{
    return {QStandardPaths::writableLocation(QStandardPaths::DesktopLocation),
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
            QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)};
}

ShortcutPlan::ShortcutPlan(QString appFolder, QString viewerPath)
    : appFolder_(std::move(appFolder)), viewerPath_(std::move(viewerPath))
{
}

QStringList ShortcutPlan::loadHistory()
{
    files_.clear();
    folders_.clear();
    const History history(appFolder_);
    for (int k = 1; k <= History::kMaxEntries; ++k) {
        const QString file = history.filePath(k);
        if (!QFileInfo(file).isFile())
            continue;
        files_ << file;
        folders_ << history.entryCaption(k);
    }
    return folders_;
}

QString ShortcutPlan::historyFile(int column) const
{
    return column >= 1 && column <= files_.size() ? files_.at(column - 1) : QString();
}

QString ShortcutPlan::historyFolder(int column) const
{
    return column >= 1 && column <= folders_.size() ? folders_.at(column - 1) : QString();
}

void ShortcutPlan::forgetHistory()
{
    pNo_ = -1;
    fromFileName_.clear();
    toFileName_.clear();
    proposedList_.clear();
}

ShortcutPlan::Texts ShortcutPlan::chooseFolder(const QString &folder)
{
    forgetHistory();
    return {folder, ShortcutBaseName(folder)};
}

ShortcutPlan::Texts ShortcutPlan::chooseHistory(int column, Prompter &prompter)
{
    const QString p = historyFile(column);
    if (p.isEmpty() || !isListFileName(p))
        return chooseFolder(p);
    forgetHistory();
    pNo_ = column;
    Texts texts{historyFolder(column), {}};
    const QString proposed =
        FolderPart(p) + FileNamePart(withoutTrailingSlash(texts.folder)) + QStringLiteral(".lst");
    const QString list = UniqueFileName(proposed, prompter);
    if (list.isEmpty()) {
        forgetHistory();
        return texts;
    }
    texts.name = ShortcutBaseName(list);
    fromFileName_ = p;
    toFileName_ = list;
    proposedList_ = proposed;
    return texts;
}

QString ShortcutPlan::destinationFolder(int place, const ShortcutPlaces &places,
                                        const std::function<QString()> &pickFolder) const
{
    switch (place) {
    case PlaceDocuments:
        return places.documents;
    case PlacePictures:
        return places.pictures;
    case PlaceComputer: {
        const QString picked = pickFolder ? withoutTrailingSlash(pickFolder()) : QString();
        if (picked.isEmpty() || picked == QStringLiteral("/"))
            return picked;
        // The launcher goes beside the folder picked, as the root is the
        // only place that is its own parent.
        return FolderPart(picked);
    }
    default:
        return places.desktop;
    }
}

bool ShortcutPlan::writeListFromHistory(Prompter &prompter, bool &written)
{
    written = false;
    QStringList lines;
    if (!readListLines(fromFileName_, lines))
        return false;
    // Never replace a list file that appeared since the name was chosen:
    // another launcher may start on it.
    if (nameTaken(toFileName_)) {
        const QString fresh = UniqueFileName(proposedList_, prompter);
        if (fresh.isEmpty())
            return false;
        toFileName_ = fresh;
    }
    written = writeListFile(toFileName_, lines);
    return written;
}

QString ShortcutPlan::create(Request &r, Settings &settings, Prompter &prompter, const ShortcutPlaces &places,
                             const std::function<QString()> &pickFolder)
{
    appName_.clear();
    if (r.folder.isEmpty() || !QFileInfo(r.folder).isDir()) {
        prompter.beep();
        prompter.error(kBadFolderText);
        return {};
    }
    r.name = CleanShortcutName(r.name);
    if (r.name.isEmpty())
        r.name = ShortcutBaseName(r.folder);
    if (r.name.contains(u'/')) {
        prompter.error(kSlashInNameText);
        return {};
    }
    if (r.name.isEmpty()) {
        prompter.error(kBadNameText);
        return {};
    }
    const QString destination = destinationFolder(r.place, places, pickFolder);
    if (destination.isEmpty() || !QFileInfo(destination).isDir()) {
        prompter.beep();
        return {};
    }
    const QString path = WithBackslash(destination) + r.name + kLauncherExtension;
    if (nameTaken(path) && !prompter.confirm(kOverwriteQuestion))
        return {};

    // The list file is made only now that the launcher is about to be
    // written, so a stopped attempt leaves nothing behind.
    QString target = r.folder;
    bool listWritten = false;
    if (pNo_ > 0) {
        if (!writeListFromHistory(prompter, listWritten)) {
            prompter.error(kCreateFailedText);
            return {};
        }
        target = toFileName_;
    }
    const QFileInfo viewer(viewerPath_);
    LauncherEntry entry;
    entry.name = r.name;
    entry.program = viewer.absoluteFilePath();
    entry.args = ShortcutArguments(target, r.choices, r.locale);
    entry.workingDir = viewer.absolutePath();
    entry.icon = LauncherIcon(entry.program);
    if (!writeLauncherFile(path, entry)) {
        if (listWritten)
            QFile::remove(toFileName_);
        prompter.error(kCreateFailedText);
        return {};
    }
    markLauncherTrusted(path);

    r.choices.storeInto(settings.ShortCut);
    settings.ShortCut.MakePlace =
        r.place >= PlaceDesktop && r.place <= PlacePictures ? r.place : PlaceDesktop;
    settings.ShortCut.PictureFolder = r.folder;
    appName_ = path;
    return path;
}
