#include "decode/ui/OpenPictureDialog.h"

#include "decode/spi/PicturePreview.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

namespace
{
constexpr int kPreviewSide = 240;
}

OpenPictureDialog::OpenPictureDialog(const PictureFormats &formats, const QString &filter, QWidget *parent,
                                     const QString &folder)
    : QFileDialog(parent), FFormats(formats), FPreviewLabel(new QLabel(this))
{
    // The preview pane needs Qt's own dialog; a native one cannot host it.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFiles);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilter(filter);
    if (!folder.isEmpty())
        setDirectory(folder);
    setSizeGripEnabled(true);

    FPreviewLabel->setObjectName(QStringLiteral("preview"));
    FPreviewLabel->setAlignment(Qt::AlignCenter);
    FPreviewLabel->setMinimumSize(kPreviewSide, kPreviewSide);
    FPreviewLabel->setFrameShape(QFrame::StyledPanel);
    if (auto *grid = qobject_cast<QGridLayout *>(layout()))
        grid->addWidget(FPreviewLabel, 0, grid->columnCount(), grid->rowCount(), 1);

    connect(this, &QFileDialog::currentChanged, this, &OpenPictureDialog::showPreview);
}

void OpenPictureDialog::showPreview(const QString &path)
{
    const qreal dpr = devicePixelRatioF();
    const QSize bound = FPreviewLabel->contentsRect().size() * dpr;
    FPreview =
        LoadPreviewPicture(path, FFormats, bound.isEmpty() ? QSize(kPreviewSide, kPreviewSide) : bound);
    if (FPreview.isNull()) {
        FPreviewLabel->clear();
        return;
    }
    QPixmap pm = QPixmap::fromImage(FPreview);
    pm.setDevicePixelRatio(dpr);
    FPreviewLabel->setPixmap(pm);
}
