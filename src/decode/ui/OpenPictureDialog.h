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

    // The size the dialog had when last closed in this run; invalid before.
    // A new dialog opens at that size, else at the size its content needs.
    static QSize rememberedSize() { return FRememberedSize; }
    static void forgetSize() { FRememberedSize = QSize(); }

    void done(int result) override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void showPreview(const QString &path);
    // Wide enough for the file list's columns, the places' names and the
    // folder's path, tall enough for a screenful of names; within the screen.
    void fitToContent();
    void fitColumns();

    const PictureFormats &FFormats;
    QLabel *FPreviewLabel;
    QImage FPreview;
    bool FFitPending = false;
    static inline QSize FRememberedSize;
};
