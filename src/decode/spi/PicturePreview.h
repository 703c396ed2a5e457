#pragma once
// Loads the picture shown in the open-picture dialog's preview pane. The
// decoder is chosen by the file's extension through the format registry:
// plug-in extensions go to the plug-ins, the viewer's own to the picture
// loader (LoadPictureFile, with its decoding budget), anything unregistered
// shows no preview.
#include <QImage>
#include <QSize>
#include <QString>

class PictureFormats;

// A null image when the file is not a registered picture or cannot be decoded.
// A picture larger than `bound` is scaled down to fit (an empty bound keeps it whole).
QImage LoadPreviewPicture(const QString &path, const PictureFormats &formats, QSize bound = {});
