#include "common/ui/AboutBox.h"
#include "common/ui/HelpViewer.h"
#include "common/ui/MsgDialog.h"
#include "settings/Settings.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

TEST(Notice, ClosesByItselfAfterAboutASecond)
{
    QWidget main;
    main.setGeometry(100, 100, 640, 480);
    main.show();
    TfMsgDialog dlg(&main);
    dlg.setText("複写 完了！");
    QElapsedTimer t;
    t.start();
    dlg.show();
    EXPECT_EQ(dlg.size(), QSize(240, 78));
    EXPECT_FALSE(dlg.isModal());
    QTest::qWait(1400);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_GE(t.elapsed(), 900);

    // The shown form returns at once, takes no focus, and a newer notice
    // replaces the one showing.
    t.restart();
    TfMsgDialog::showNotice(&main, "移動 完了 ！");
    EXPECT_LT(t.elapsed(), 500);
    QPointer<TfMsgDialog> first = TfMsgDialog::current();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    TfMsgDialog::showNotice(&main, "複写 完了！");
    QTest::qWait(50);
    EXPECT_FALSE(first && first->isVisible());
    ASSERT_TRUE(TfMsgDialog::current());
    EXPECT_EQ(TfMsgDialog::current()->text(), QStringLiteral("複写 完了！"));
    QTest::qWait(1400);
    EXPECT_EQ(TfMsgDialog::current(), nullptr);
}

TEST(Notice, CentresOnTheMainWindowRoundingTowardZero)
{
    EXPECT_EQ(TfMsgDialog::centredOn(QRect(100, 50, 641, 481), QSize(240, 78)), QPoint(300, 251));
    EXPECT_EQ(TfMsgDialog::centredOn(QRect(-500, 0, 101, 51), QSize(240, 78)), QPoint(-569, -13));
}

TEST(HelpViewer, EscapeAndEnterCloseAndStoreGeometry)
{
    QTemporaryDir dir;
    const QString home = dir.filePath("help.html");
    {
        QFile f(home);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<html><body><p>start</p><a href=\"two.html\">next</a></body></html>");
    }
    for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
        HelpSettings geo{30, 40, 420, 380};
        QPointer<TfHelpViewer> w = new TfHelpViewer(geo);
        w->setAttribute(Qt::WA_DeleteOnClose);
        EXPECT_EQ(w->windowTitle(), "ヘルプ");
        EXPECT_EQ(w->size(), QSize(420, 380));
        w->setHomeFileName(home);
        w->goHome();
        EXPECT_TRUE(w->browser()->toPlainText().contains("start"));
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        // Back on the start page does nothing and reports nothing.
        w->browser()->backward();
        EXPECT_TRUE(w->browser()->toPlainText().contains("start"));

        w->resize(333, 222);
        w->move(55, 66);
        QTest::keyClick(w->browser(), Qt::Key(key));
        QTest::qWait(50);
        EXPECT_TRUE(w.isNull()) << key;
        EXPECT_EQ(geo.Width, 333);
        EXPECT_EQ(geo.Height, 222);
        EXPECT_EQ(geo.Left, 55);
        EXPECT_EQ(geo.Top, 66);
    }
}

TEST(HelpViewer, MissingPageShowsAnErrorPage)
{
    HelpSettings geo;
    TfHelpViewer w(geo);
    w.setHomeFileName("/no/such/help.html");
    w.goHome();
    EXPECT_TRUE(w.browser()->toPlainText().contains("/no/such/help.html"));
}

TEST(HelpViewer, ShippedHelpPageLoadsBesideTheBuild)
{
    HelpSettings geo;
    TfHelpViewer w(geo);
    w.setHomeFileName(QStringLiteral(GD_BUILD_DIR "/help.html"));
    w.goHome();
    const QString text = w.browser()->toPlainText();
    EXPECT_TRUE(text.contains("グリマーデック ヘルプ"));
    EXPECT_TRUE(text.contains("/Repeat"));
    EXPECT_TRUE(text.contains("Glimmerdeck List Ver1.0"));
}

TEST(AboutBox, ShowsTheBuildWidthAndCopiesAddresses)
{
    EXPECT_EQ(TfAbout::titleLine(), QStringLiteral("グリマーデック(%1bit版)").arg(sizeof(void *) * 8));
    EXPECT_EQ(TfAbout::mailUrl(),
              "mailto:" + TfAbout::mailAddress() + "?subject=『グリマーデック』について&body= &");

    TfAbout box;
    EXPECT_EQ(box.windowTitle(), "ﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(box.findChild<QLabel *>("Version")->text(), "Ver 5.5");
    EXPECT_EQ(box.findChild<QLabel *>("Label1")->text(), TfAbout::titleLine());

    QGuiApplication::clipboard()->setText("before");
    box.findChild<QPushButton *>("Button1")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), TfAbout::webAddress());
    box.findChild<QPushButton *>("Button2")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), TfAbout::mailAddress());
    TfAbout::copyAddress(3);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), TfAbout::mailAddress());
}
