#pragma once
// The same-name dialog: the picture being transferred on the left, the file
// of the same name already in the target folder on the right, each with its
// size and name, and the four ways on. Its position and size persist.
#include "common/Prompter.h"
#include "decode/PictureData.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;
struct SameBoxSettings;

class TfSame : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kMinWidth = 350;
    static constexpr int kMinHeight = 250;

    // `geometry` is read now and written back when the dialog closes.
    TfSame(const QString &source, const QString &target, SameBoxSettings &geometry, bool zoom,
           bool autoRotate, QWidget *parent = nullptr);

    // Shows the dialog modally and returns the user's choice.
    SameNameChoice run();
    static SameNameChoice choiceOf(int result);

    // "1024 x 768 - Size: 245,760 byte - [ IMG_0042.jpg ]" with the user's
    // thousands separator.
    static QString describe(const QSize &pixels, qint64 bytes, const QString &path);

    void done(int result) override;
    void reject() override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Side {
        QString path;
        PictureData picture;
        bool loaded = false;
        QFrame *panel = nullptr;
        QWidget *image = nullptr;
        QLabel *failed = nullptr; // "表示不可"
        QLabel *text = nullptr;   // the description line
    };
    void build();
    void FormResize();
    void layoutSide(Side &side);
    void correctFrame();

    SameBoxSettings &geometry_;
    bool zoom_;
    Side left_, right_;
    QWidget *Panel1 = nullptr;
    QWidget *Panel2 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *BitBtn2 = nullptr;
    QPushButton *BitBtn3 = nullptr;
    QPushButton *BitBtn4 = nullptr;
    bool frameCorrected_ = false;
};
