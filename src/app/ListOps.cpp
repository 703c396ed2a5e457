#include "app/ListOps.h"

#include "app/ListOrder.h"
#include "app/Navigation.h"
#include "common/PathUtil.h"
#include "common/Prompter.h"
#include "common/ViewerState.h"
#include "decode/FormatModule.h"
#include "fileops/FileGroup.h"
#include "lists/ListFile.h"
#include "platform/FileTree.h"
#include "platform/NameMatch.h"
#include "platform/ZipExtract.h"

#include <QDir>

namespace
{
const QString kArchivePattern = QStringLiteral("*.zip");
constexpr int kMaxProblemLines = 8;

// Restores the list's sorted mode when a building step ends.
struct SortedScope {
    PictureList &list;
    bool was;
    explicit SortedScope(PictureList &l) : list(l), was(l.sorted()) { list.setSorted(true); }
    ~SortedScope() { list.setSorted(was); }
};
} // namespace

ListOps::ListOps(ViewerState &state, Prompter &prompter) : st_(state), prompter_(prompter) {}

bool ListOps::isMediaPath(const QString &path)
{
    const QString e = LowerExt(path);
    return !e.isEmpty() && kMediaExtensions.contains(e);
}

bool ListOps::isArchivePath(const QString &path)
{
    const QString e = LowerExt(path);
    return !e.isEmpty() && kArchivePattern.contains(e);
}

bool ListOps::isPicturePath(const QString &path) const
{
    const QString e = LowerExt(path);
    return !e.isEmpty() && st_.PictureFilter.contains(e) && !kMediaExtensions.contains(e);
}

ListChange ListOps::rFileName(const QString &path)
{
    bool onePicture = false;
    const ListChange change = [&]() -> ListChange {
        if (FileExt(path) == QLatin1String(".lst")) {
            if (IsFile(path) && ReadListFile(path, st_.list, prompter_))
                return {ListChange::Kind::Replaced};
            return {};
        }
        if (IsFolder(path))
            return ScanFolder(WithBackslash(path) + QStringLiteral("*.*"));
        if (isArchivePath(path))
            ExtractArchive(path);
        else if ((onePicture = isPicturePath(path)))
            st_.list.add(path);
        return {ListChange::Kind::Replaced};
    }();
    // The libraries for RAW, HEIF, AVIF and JPEG XL load while the window
    // is still being made, not when the first such picture is shown. One
    // picture added (say one of thousands on the command line) is looked
    // at alone, not the whole list again.
    if (change.kind != ListChange::Kind::Nothing)
        LoadFormatModulesSoonFor(onePicture ? QStringList{path} : st_.list.items());
    return change;
}

ListChange ListOps::ScanFolder(const QString &mask)
{
    const QString folder = FolderPart(mask);
    const QString pattern = FileNamePart(mask);
    const bool all = pattern == u"*.*" || pattern == u"*" || pattern.isEmpty();

    bool readable = false;
    {
        SortedScope scope(st_.list);
        // Gather the names first: extracting archives must not run while the
        // folder is being read.
        QStringList names;
        readable = ForEachFile(folder.isEmpty() ? QStringLiteral(".") : folder, [&](const QString &name) {
            if (all || MatchesFileWildcard(pattern, name))
                names.append(name);
        });
        for (const QString &name : std::as_const(names)) {
            const QString path = folder + name;
            if (isArchivePath(path))
                ExtractArchive(path);
            else if (isPicturePath(path))
                st_.list.add(path);
        }
    }
    // A folder read is put into order, which shows its first picture.
    if (readable)
        return SortList(st_.SortOrder);
    return {ListChange::Kind::Replaced};
}

void ListOps::ExtractArchive(const QString &path)
{
    if (archiveDepth_ >= kMaxArchiveDepth) {
        prompter_.beep();
        prompter_.error(QStringLiteral("書庫ファイルを展開できませんでした。\n") + path +
                        QStringLiteral("\n書庫の入れ子が深すぎます。"));
        return;
    }
    if (st_.TempFolder.isEmpty()) {
        prompter_.beep();
        prompter_.error(QStringLiteral("書庫ファイルを展開できませんでした。\n") + path +
                        QStringLiteral("\n一時フォルダがありません。"));
        return;
    }
    ++archiveDepth_;

    const QString base =
        WithBackslash(st_.TempFolder) + ReplaceAll(FileNamePart(path), QLatin1Char('.'), QLatin1Char('_'));
    QString dest = base;
    for (int i = 1; PathExists(dest); ++i)
        dest = base + NumberTag(i);

    ZipExtractResult res;
    ZipExtractOptions options;
    const QString text = QStringLiteral("書庫ファイルを展開しています。\n") + FileNamePart(path);
    options.progress = [&](int64_t written, int64_t total) {
        return prompter_.progress(text, written, total);
    };
    if (QDir().mkpath(dest))
        res = ExtractZip(path, dest, options);
    else
        res.problems << QStringLiteral("展開先のフォルダを作成できません。");
    prompter_.progressDone();

    // A sub-folder's contents follow its own entry, so folders themselves
    // are not scanned again (that would add their pictures twice).
    QStringList entries;
    ListTree(dest, entries);
    for (const QString &entry : std::as_const(entries))
        if (!IsFolder(entry))
            (void)rFileName(entry);

    // Stopped by the user: what was extracted is kept, and nothing is reported.
    if (!res.ok() && !res.cancelled) {
        QStringList lines = res.problems.mid(0, kMaxProblemLines);
        if (res.problems.size() > kMaxProblemLines)
            lines << QStringLiteral("ほか %1 件").arg(res.problems.size() - kMaxProblemLines);
        prompter_.beep();
        prompter_.error(QStringLiteral("書庫ファイルを展開できませんでした。\n") + path + QLatin1Char('\n') +
                        lines.join(QLatin1Char('\n')));
    }

    --archiveDepth_;
}

ListChange ListOps::ActivateList()
{
    // A RAW beside its picture travels with it and is not shown on its own,
    // however the list was made (folder, chosen files, drops, list file).
    if (st_.settings.Option.Companions && !st_.list.isEmpty()) {
        const QStringList shown = HideCompanions(st_.list.items());
        if (shown.size() != st_.list.count())
            st_.list.replace(shown);
    }
    if (st_.list.isEmpty()) {
        st_.ListActive = false;
        return {ListChange::Kind::Activated};
    }
    LoadFormatModulesSoonFor(st_.list.items());
    st_.PictureIndex = 0;
    st_.ListActive = true;
    return {ListChange::Kind::Activated, 0};
}

ListChange ListOps::SortList(PlayOrder order)
{
    PictureList &list = st_.list;
    if (list.isEmpty())
        return {};
    switch (order) {
    case PlayOrder::Random:
        ShuffleList(list);
        break;
    case PlayOrder::Name:
    case PlayOrder::NameReversed:
        if (!list.sorted()) {
            list.setSorted(true);
            list.setSorted(false);
        }
        if (order == PlayOrder::NameReversed)
            ReverseList(list);
        break;
    case PlayOrder::Date: {
        QString missing;
        if (!SortByDate(list, &missing)) {
            prompter_.beep();
            prompter_.error(
                QStringLiteral("日時順に並べ替えられませんでした。\nファイルが見つかりません。\n") + missing);
            return {};
        }
        break;
    }
    default:
        break;
    }
    st_.PictureIndex = 0;
    return {ListChange::Kind::Reordered, 0};
}

ListChange ListOps::menuSort(PlayOrder order)
{
    st_.SortOrder = order;
    return SortList(order);
}

ListChange ListOps::openFiles(const QStringList &chosen)
{
    st_.list.clear();
    {
        SortedScope scope(st_.list);
        for (const QString &f : chosen)
            if (!isMediaPath(f))
                st_.list.add(f);
    }
    ListChange change = SortList(st_.SortOrder);
    change |= ActivateList();
    return change;
}

ListChange ListOps::openDropped(const QStringList &paths)
{
    ListChange change;
    st_.list.setSorted(true);
    const QString saved = prompter_.statusText();
    prompter_.setStatusText(kSearchingText);
    if (!paths.isEmpty())
        st_.list.clear();
    for (const QString &p : paths)
        change |= rFileName(p);
    prompter_.setStatusText(saved);
    st_.list.setSorted(false);
    change |= SortList(st_.SortOrder);
    change |= ActivateList();
    return change;
}

ListChange ListOps::openFolder(const std::optional<QString> &folder)
{
    ListChange change;
    if (folder) {
        const QString saved = prompter_.statusText();
        prompter_.setStatusText(kSearchingText);
        st_.list.clear();
        change |= ScanFolder(WithBackslash(*folder) + QStringLiteral("*.*"));
        prompter_.setStatusText(saved);

        QString f = *folder;
        while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
            f.chop(1);
        QString parent = f.left(f.lastIndexOf(QLatin1Char('/')));
        if (parent.isEmpty())
            parent = QStringLiteral("/");
        st_.settings.Window.LastDir = WithBackslash(parent);
    }
    change |= ActivateList();
    return change;
}

void ListOps::StepIndex(bool forward)
{
    st_.PictureIndex = ::StepIndex(st_.PictureIndex, forward, st_.settings.Tool.State);
}

void ListOps::NormalizeIndex()
{
    if (!st_.list.isEmpty())
        st_.PictureIndex = ::NormalizeIndex(st_.PictureIndex, st_.list.count(), st_.settings.Tool.State);
}

void ListOps::PruneMissing()
{
    PictureList &list = st_.list;
    if (!list.isEmpty() && (st_.PictureIndex < 0 || st_.PictureIndex >= list.count()))
        NormalizeIndex();
    while (!list.isEmpty() && !PathExists(list.at(st_.PictureIndex))) {
        list.removeAt(st_.PictureIndex);
        if (list.isEmpty())
            break;
        if (st_.PictureIndex >= list.count())
            --st_.PictureIndex;
    }
}
