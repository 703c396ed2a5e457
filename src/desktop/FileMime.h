#pragma once
// Files as the desktop exchanges them: file URLs in drags, drops and the
// clipboard.
#include <QString>
#include <QStringList>

class QImage;
class QMimeData;

// A file offered to file managers: text/uri-list with its URL, plus the
// GNOME and KDE clipboard formats that say "copy, not cut". With a non-null
// image the picture itself comes along, for programs that paste pictures.
QMimeData *FileMimeData(const QString &path, const QImage *image = nullptr);

// Local paths of the files a drop carries, in the order of the drop.
// Remote URLs are skipped; folders keep no trailing "/".
QStringList DroppedPaths(const QMimeData *mime);

// A drag is accepted when it carries at least one local file.
bool AcceptsFileDrop(const QMimeData *mime);
