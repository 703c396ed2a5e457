#pragma once
// A picture's companions: the RAW files and sidecars beside it with the same
// base name ("IMG_0042.JPG" brings "IMG_0042.CR2", "IMG_0042.xmp" and
// "IMG_0042.CR2.xmp"). They travel with the picture and are not shown as
// pictures of their own while the picture is in the list.
#include <QString>
#include <QStringList>

// The extension (with its dot, any letter case) of a RAW file or a sidecar.
bool IsRawExt(const QString &ext);
bool IsSidecarExt(const QString &ext);
bool IsCompanionExt(const QString &ext);

// The companions of `pictureName` among `names` (file names of one folder,
// no folder part), in the order of `names`. A RAW picture standing alone
// brings only its sidecars.
QStringList CompanionsAmong(const QString &pictureName, const QStringList &names);

// The group on disk: `picturePath` first, then its companions (full paths),
// by name. Without the folder's listing (unreadable) the picture alone.
QStringList FileGroupOf(const QString &picturePath);

// The group when companions travel with their picture (the options' setting),
// else the picture alone.
QStringList GroupFor(const QString &picturePath, bool companionsToo);

// `paths` (full paths, any folders) without the companions whose picture is
// among them; the order is kept. A RAW without its picture stays.
QStringList HideCompanions(const QStringList &paths);

// The new name of each member when the picture is to be called
// `newPictureName`: the base name is replaced in every member, and a
// "name.ext.xmp" follows its own file's new name. Names only, no folders.
QStringList RenamedMembers(const QStringList &memberNames, const QString &newPictureName);
