#pragma once
// The open-picture dialog: Qt's own file dialog with a preview pane, several
// files at once, filtered by the picture filter.
#include <QFileDialog>

class PictureFormats;
class QLabel;

class OpenPictureDialog : public QFileDialog
{
    Q_OBJECT
public:
    OpenPictureDialog(const PictureFormats &formats, const QString &filter, QWidget *parent = nullptr,
                      const QString &folder = QString());

    // The preview pane's current picture (null when none is shown).
    QImage previewImage() const { return FPreview; }

private:
    void showPreview(const QString &path);

    const PictureFormats &FFormats;
    QLabel *FPreviewLabel;
    QImage FPreview;
};
