#include "common/ui/MsgDialog.h"

#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

TfMsgDialog::TfMsgDialog(QWidget *mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      StaticText1(new QLabel), Timer1(new QTimer(this))
{
    setFixedSize(kWidth, kHeight);
    setModal(false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::black);
    // A soft bevel: dark grey highlights instead of the stark default.
    pal.setColor(QPalette::Light, QColor(0x80, 0x80, 0x80));
    pal.setColor(QPalette::Dark, QColor(0x20, 0x20, 0x20));
    pal.setColor(QPalette::WindowText, QColor(0x00, 0xFF, 0x00));
    panel->setPalette(pal);

    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setPalette(pal);
    QFont f;
    f.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                   QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
    f.setPixelSize(27);
    StaticText1->setFont(f);

    auto *inner = new QVBoxLayout(panel);
    inner->setContentsMargins(2, 2, 2, 2);
    inner->addWidget(StaticText1);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);

    // The timer runs from creation, as the notice is meant to be brief
    // however long the caller takes to show it.
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kLifetimeMs);
    connect(Timer1, &QTimer::timeout, this, &QWidget::close);
    Timer1->start();
}

void TfMsgDialog::setText(const QString &text)
{
    StaticText1->setText(text);
}

QString TfMsgDialog::text() const
{
    return StaticText1->text();
}

QPoint TfMsgDialog::centredOn(const QRect &outer, const QSize &size)
{
    return {outer.left() + (outer.width() - size.width()) / 2,
            outer.top() + (outer.height() - size.height()) / 2};
}

void TfMsgDialog::showEvent(QShowEvent *e)
{
    if (QWidget *p = parentWidget())
        move(centredOn(p->window()->frameGeometry(), frameGeometry().size()));
    QDialog::showEvent(e);
}

namespace
{
QPointer<TfMsgDialog> &showing()
{
    static QPointer<TfMsgDialog> notice;
    return notice;
}
} // namespace

TfMsgDialog *TfMsgDialog::current()
{
    return showing().data();
}

void TfMsgDialog::showNotice(QWidget *mainWindow, const QString &text)
{
    if (TfMsgDialog *old = showing().data()) {
        old->hide();
        old->deleteLater();
    }
    auto *dlg = new TfMsgDialog(mainWindow);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->setText(text);
    showing() = dlg;
    dlg->show();
}
