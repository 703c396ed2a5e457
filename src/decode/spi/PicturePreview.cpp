#include "decode/spi/PicturePreview.h"

#include "decode/LoadPicture.h"
#include "decode/PictureFormats.h"
#include "decode/spi/SpiGraphic.h"

#include <QFileInfo>

QImage LoadPreviewPicture(const QString &path, const PictureFormats &formats, QSize bound)
{
    const QFileInfo fi(path);
    if (!fi.isFile())
        return {};
    const PictureFormats::Format *format = formats.find(fi.suffix());
    if (!format || fi.suffix().isEmpty())
        return {};
    QImage img;
    if (format->plugin) {
        if (!DecodeWithPlugins(path, img))
            return {};
    } else {
        // The viewer's own loader: decided by content, decoded at the
        // reduced size where it can, upright, and within the decoding
        // budget that any file from anywhere is held to.
        LoadOptions options;
        options.maxSize = bound;
        options.autoRotate = true;
        PictureData picture;
        if (!LoadPictureFile(path, picture, options))
            return {};
        img = picture.image;
    }
    if (bound.isValid() && !bound.isEmpty() && (img.width() > bound.width() || img.height() > bound.height()))
        img = img.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return img;
}
