#include "fileops/FileGroup.h"

#include "common/NameParts.h"
#include "common/PathUtil.h"
#include "decode/FormatNames.h"
#include "platform/FileTree.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace
{
const QStringList kSidecarExts = {QStringLiteral(".xmp"), QStringLiteral(".thm"), QStringLiteral(".pp3"),
                                  QStringLiteral(".dop"), QStringLiteral(".aae")};

bool isXmp(const QString &ext)
{
    return ext.compare(QLatin1String(".xmp"), Qt::CaseInsensitive) == 0;
}

// "IMG.CR2" and "IMG.cr2" name the same owner of a "name.ext.xmp".
QString ownerKey(const QString &name)
{
    const NameAndExt parts = SplitExt(name);
    return parts.name + parts.ext.toLower();
}

struct BaseIndex {
    QHash<QString, QStringList> byBase;  // names by their base name
    QHash<QString, QStringList> byOwner; // "x.xmp" names by ownerKey of "x"
};

BaseIndex indexByBase(const QStringList &names)
{
    BaseIndex index;
    for (const QString &n : names) {
        const NameAndExt parts = SplitExt(n);
        index.byBase[parts.name].append(n);
        if (isXmp(parts.ext))
            index.byOwner[ownerKey(parts.name)].append(n);
    }
    return index;
}

QStringList companionsIn(const QString &pictureName, const BaseIndex &index)
{
    const NameAndExt picture = SplitExt(pictureName);
    const bool rawAlone = IsCompanionExt(picture.ext);
    QStringList found;
    QStringList owners = {pictureName}; // files whose "name.ext.xmp" may come along
    for (const QString &n : index.byBase.value(picture.name)) {
        const QString ext = SplitExt(n).ext;
        if (n == pictureName || !(rawAlone ? IsSidecarExt(ext) : IsCompanionExt(ext)))
            continue;
        found << n;
        if (IsRawExt(ext))
            owners << n;
    }
    for (const QString &owner : owners)
        for (const QString &n : index.byOwner.value(ownerKey(owner)))
            if (!found.contains(n))
                found << n;
    return found;
}
} // namespace

bool IsRawExt(const QString &ext)
{
    return ext.startsWith(QLatin1Char('.')) && RawExtensions().contains(ext.mid(1), Qt::CaseInsensitive);
}

bool IsSidecarExt(const QString &ext)
{
    return kSidecarExts.contains(ext, Qt::CaseInsensitive);
}

bool IsCompanionExt(const QString &ext)
{
    return IsRawExt(ext) || IsSidecarExt(ext);
}

QStringList CompanionsAmong(const QString &pictureName, const QStringList &names)
{
    const QStringList found = companionsIn(pictureName, indexByBase(names));
    QStringList ordered;
    for (const QString &n : names)
        if (found.contains(n))
            ordered << n;
    return ordered;
}

QStringList FileGroupOf(const QString &picturePath)
{
    const QString folder = FolderPart(picturePath);
    const QString name = FileNamePart(picturePath);
    const QString base = SplitExt(name).name;
    QStringList names;
    // Only names that can belong to the group matter; a large folder costs
    // one listing and no more.
    ForEachFile(folder.isEmpty() ? QStringLiteral(".") : folder, [&](const QString &n) {
        if (n.startsWith(base))
            names << n;
    });
    QStringList members = CompanionsAmong(name, names);
    std::sort(members.begin(), members.end());
    QStringList group = {picturePath};
    for (const QString &m : members)
        group << folder + m;
    return group;
}

QStringList GroupFor(const QString &picturePath, bool companionsToo)
{
    return companionsToo ? FileGroupOf(picturePath) : QStringList{picturePath};
}

QStringList HideCompanions(const QStringList &paths)
{
    // Most lists hold no RAW or sidecar at all: they pass as they are.
    const bool anyCompanion = std::any_of(paths.begin(), paths.end(), [](const QString &p) {
        return IsCompanionExt(SplitExt(FileNamePart(p)).ext);
    });
    if (!anyCompanion)
        return paths;
    QHash<QString, QStringList> byFolder;
    for (const QString &p : paths)
        byFolder[FolderPart(p)].append(FileNamePart(p));
    QSet<QString> hidden;
    for (auto it = byFolder.cbegin(); it != byFolder.cend(); ++it) {
        const BaseIndex index = indexByBase(it.value());
        for (const QString &n : it.value()) {
            if (IsCompanionExt(SplitExt(n).ext))
                continue; // pictures first: they hide their RAW files
            for (const QString &c : companionsIn(n, index))
                hidden.insert(it.key() + c);
        }
        // A RAW without its picture is a picture of its own and hides its sidecars.
        for (const QString &n : it.value())
            if (IsRawExt(SplitExt(n).ext) && !hidden.contains(it.key() + n))
                for (const QString &c : companionsIn(n, index))
                    hidden.insert(it.key() + c);
    }
    if (hidden.isEmpty())
        return paths;
    QStringList shown;
    shown.reserve(paths.size() - hidden.size());
    for (const QString &p : paths)
        if (!hidden.contains(p))
            shown << p;
    return shown;
}

QStringList RenamedMembers(const QStringList &memberNames, const QString &newPictureName)
{
    if (memberNames.isEmpty())
        return {};
    const QString picture = memberNames.first();
    const QString oldBase = SplitExt(picture).name;
    const QString newBase = SplitExt(newPictureName).name;
    QStringList renamed = {newPictureName};
    for (qsizetype i = 1; i < memberNames.size(); ++i) {
        const QString &m = memberNames[i];
        // "IMG.JPG.xmp" follows "IMG.JPG" even when the picture's extension changes.
        if (m.startsWith(picture) && m.size() > picture.size() && isXmp(m.mid(picture.size())))
            renamed << newPictureName + m.mid(picture.size());
        else
            renamed << newBase + m.mid(oldBase.size());
    }
    return renamed;
}
