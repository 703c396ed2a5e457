#pragma once
// The notice window: one short text in large lime letters on black, centred
// on the main window, closing itself after about a second.
#include <QDialog>

class QLabel;
class QTimer;

class TfMsgDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 78;
    static constexpr int kLifetimeMs = 1000;

    explicit TfMsgDialog(QWidget *mainWindow = nullptr);

    void setText(const QString &text);
    QString text() const;

    // Shows `text` over `mainWindow` and returns at once. The notice takes
    // neither the focus nor input; a newer notice replaces the one showing.
    static void showNotice(QWidget *mainWindow, const QString &text);
    // The notice showing now, if any.
    static TfMsgDialog *current();

    // Top-left corner that centres a window of `size` on `outer`, halves
    // rounded toward zero.
    static QPoint centredOn(const QRect &outer, const QSize &size);

protected:
    void showEvent(QShowEvent *e) override;

private:
    QLabel *StaticText1;
    QTimer *Timer1;
};
