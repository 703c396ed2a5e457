#include "decode/spi/PicturePreview.h"

#include "decode/PictureFormats.h"
#include "decode/spi/SpiGraphic.h"

#include <QFileInfo>
#include <QImageReader>

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
        QImageReader reader(path);
        reader.setAutoTransform(true);
        reader.setDecideFormatFromContent(true);
        // Big JPEGs decode far faster at a reduced size.
        if (bound.isValid() && !bound.isEmpty() && reader.size().isValid()) {
            const QSize full = reader.size();
            if (full.width() > bound.width() || full.height() > bound.height())
                reader.setScaledSize(full.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        }
        if (!reader.read(&img))
            return {};
    }
    if (bound.isValid() && !bound.isEmpty() && (img.width() > bound.width() || img.height() > bound.height()))
        img = img.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return img;
}
