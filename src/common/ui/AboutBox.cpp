#include "common/ui/AboutBox.h"

#include "common/AppTexts.h"
#include "platform/AppPaths.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace
{
// The author's mark: the name inside a red, diagonally hatched ellipse.
class MarkWidget : public QWidget
{
public:
    explicit MarkWidget(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("Shape1"));
        setMinimumSize(150, 44);
        QFont f = font();
        f.setBold(true);
        f.setPixelSize(15);
        setFont(f);
    }
    static QString text() { return QStringLiteral("☆Orvane☆"); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
        p.setPen(QPen(Qt::red, 2));
        p.setBrush(QBrush(Qt::red, Qt::BDiagPattern));
        p.drawEllipse(r);
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r, Qt::AlignCenter, text());
    }
};

QLabel *linkLabel(const QString &name, const QString &shown, const QString &target, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(target.toHtmlEscaped(), shown.toHtmlEscaped()));
    l->setTextFormat(Qt::RichText);
    l->setCursor(Qt::PointingHandCursor);
    l->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // Opening is left to the desktop; a failure there is not ours to report.
    QObject::connect(l, &QLabel::linkActivated, l,
                     [](const QString &url) { QDesktopServices::openUrl(QUrl(url, QUrl::TolerantMode)); });
    return l;
}
} // namespace

QString TfAbout::titleLine()
{
    return kAppTitle + QStringLiteral("(%1bit版)").arg(QT_POINTER_SIZE * 8);
}

QString TfAbout::webAddress()
{
    return QStringLiteral(GD_WEB_ADDRESS);
}

QString TfAbout::mailAddress()
{
    return QStringLiteral(GD_MAIL_ADDRESS);
}

QString TfAbout::mailUrl()
{
    return QStringLiteral("mailto:") + mailAddress() + QStringLiteral("?") +
           QStringLiteral("subject=『グリマーデック』について&") + QStringLiteral("body= &");
}

QIcon TfAbout::programIcon()
{
    const QString path = AppPaths::iconFilePath();
    return path.isEmpty() ? QIcon::fromTheme(QStringLiteral("glimmerdeck")) : QIcon(path);
}

void TfAbout::copyAddress(int tag)
{
    if (tag == 1)
        QGuiApplication::clipboard()->setText(webAddress());
    else if (tag == 2)
        QGuiApplication::clipboard()->setText(mailAddress());
}

TfAbout::TfAbout(QWidget *mainWindow)
    // A fixed-size box: a title and a close button, nothing to minimise or maximise.
    : QDialog(mainWindow,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);

    auto *panel = new QFrame(this);
    panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    auto *icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setFixedSize(48, 48);
    icon->setPixmap(programIcon().pixmap(48, 48));

    auto *title = new QLabel(titleLine(), panel);
    title->setObjectName(QStringLiteral("Label1"));
    QFont tf = title->font();
    tf.setBold(true);
    tf.setPointSizeF(tf.pointSizeF() * 1.3);
    title->setFont(tf);
    auto *version = new QLabel(kVersionText, panel);
    version->setObjectName(QStringLiteral("Version"));

    auto *mark = new MarkWidget(panel);

    auto *urlButton = new QPushButton(QStringLiteral("URL:"), panel);
    urlButton->setObjectName(QStringLiteral("Button1"));
    urlButton->setToolTip(QStringLiteral("URLをクリップボードにコピーします。"));
    urlButton->setAutoDefault(false);
    connect(urlButton, &QPushButton::clicked, this, [] { copyAddress(1); });
    auto *mailButton = new QPushButton(QStringLiteral("Mail:"), panel);
    mailButton->setObjectName(QStringLiteral("Button2"));
    mailButton->setToolTip(QStringLiteral("Mailアドレスをクリップボードにコピーします。"));
    mailButton->setAutoDefault(false);
    connect(mailButton, &QPushButton::clicked, this, [] { copyAddress(2); });

    QLabel *url = linkLabel(QStringLiteral("Url"), webAddress(), webAddress(), panel);
    QLabel *mail = linkLabel(QStringLiteral("Mail"), mailAddress(), mailUrl(), panel);

    auto *note =
        new QLabel(QStringLiteral("ご意見・ご感想、不具合のご報告はメールでお寄せください。"), panel);
    note->setObjectName(QStringLiteral("Notice"));

    auto *grid = new QGridLayout(panel);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(title, 0, 1, 1, 2);
    grid->addWidget(version, 1, 1, 1, 2);
    grid->addWidget(mark, 2, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(urlButton, 3, 0);
    grid->addWidget(url, 3, 1, 1, 2);
    grid->addWidget(mailButton, 4, 0);
    grid->addWidget(mail, 4, 1, 1, 2);
    grid->addWidget(note, 5, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setText(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *lay = new QVBoxLayout(this);
    lay->addWidget(panel);
    lay->addWidget(buttons, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
}

void TfAbout::showEvent(QShowEvent *e)
{
    // Centred on the main window rather than wherever the platform puts it.
    if (QWidget *p = parentWidget()) {
        const QRect outer = p->window()->frameGeometry();
        move(outer.left() + (outer.width() - width()) / 2, outer.top() + (outer.height() - height()) / 2);
    }
    QDialog::showEvent(e);
}

void TfAbout::showAbout(QWidget *mainWindow)
{
    TfAbout dlg(mainWindow);
    dlg.exec();
}
