#include "common/ui/HelpViewer.h"

#include "platform/AppPaths.h"
#include "settings/Settings.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

TfHelpViewer::TfHelpViewer(HelpSettings &geometry, QWidget *mainWindow)
    : QDialog(mainWindow, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), geometry_(geometry),
      ToolBar1(new QToolBar(this)), WebBrowser1(new QTextBrowser(this)),
      BitBtn1(new QPushButton(QStringLiteral("閉じる(&C)"), this))
{
    setWindowTitle(QStringLiteral("ヘルプ"));
    setSizeGripEnabled(true);
    setModal(false);

    QStyle *st = style();
    auto addButton = [&](const char *name, QStyle::StandardPixmap icon, const QString &hint) {
        QAction *a = ToolBar1->addAction(st->standardIcon(icon), hint);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(hint);
        return a;
    };
    QAction *home = addButton("ToolButton1", QStyle::SP_DirHomeIcon, QStringLiteral("起動ページに戻る"));
    ToolBar1->addSeparator();
    QAction *back = addButton("ToolButton2", QStyle::SP_ArrowBack, QStringLiteral("戻る"));
    QAction *fwd = addButton("ToolButton3", QStyle::SP_ArrowForward, QStringLiteral("進む"));
    ToolBar1->addSeparator();
    QAction *stop = addButton("ToolButton4", QStyle::SP_BrowserStop, QStringLiteral("読み込み中止"));
    QAction *reload = addButton("ToolButton5", QStyle::SP_BrowserReload, QStringLiteral("読み直し"));

    // Pages are local and load at once, so there is never anything to stop.
    stop->setEnabled(false);
    connect(home, &QAction::triggered, this, &TfHelpViewer::goHome);
    connect(back, &QAction::triggered, WebBrowser1, &QTextBrowser::backward);
    connect(fwd, &QAction::triggered, WebBrowser1, &QTextBrowser::forward);
    connect(reload, &QAction::triggered, WebBrowser1, &QTextBrowser::reload);

    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setOpenExternalLinks(true);

    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::close);

    auto *panel = new QHBoxLayout;
    panel->addStretch();
    panel->addWidget(BitBtn1);
    panel->addStretch();
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 6);
    lay->setSpacing(4);
    lay->addWidget(ToolBar1);
    lay->addWidget(WebBrowser1, 1);
    lay->addLayout(panel);

    // Position is the frame's, size the client area's: restoring them gives
    // back the same window however thick the frame is.
    move(geometry_.Left, geometry_.Top);
    resize(qMax(geometry_.Width, 200), qMax(geometry_.Height, 150));
}

QString TfHelpViewer::helpFilePath()
{
    return AppPaths::helpFilePath();
}

void TfHelpViewer::goHome()
{
    if (QFileInfo(HomeFileName).isFile()) {
        WebBrowser1->setSource(QUrl::fromLocalFile(HomeFileName));
        return;
    }
    WebBrowser1->setHtml(QStringLiteral("<h3>ページを表示できません</h3><p>%1 が見つかりません。</p>")
                             .arg(HomeFileName.toHtmlEscaped()));
}

TfHelpViewer *TfHelpViewer::open(QWidget *mainWindow, HelpSettings &geometry)
{
    auto *w = new TfHelpViewer(geometry, mainWindow);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setHomeFileName(helpFilePath());
    w->goHome();
    w->show();
    // The help takes the keyboard, so that Escape closes it and not the viewer.
    w->raise();
    w->activateWindow();
    w->WebBrowser1->setFocus();
    return w;
}

void TfHelpViewer::storeGeometry()
{
    geometry_.Left = pos().x();
    geometry_.Top = pos().y();
    geometry_.Width = width();
    geometry_.Height = height();
}

void TfHelpViewer::closeEvent(QCloseEvent *e)
{
    storeGeometry();
    QDialog::closeEvent(e);
}

// Escape (reject) and the default button end here rather than in closeEvent.
void TfHelpViewer::done(int r)
{
    storeGeometry();
    QDialog::done(r);
}
