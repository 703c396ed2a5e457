// The main window and the desktop: drops, the clipboard, external applications.
#include "ScriptedPrompter.h"
#include "app/ui/DisplaySurface.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PictureView.h"
#include "lists/ListFile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace
{
class ExchangeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid() && root_.isValid());
        qputenv("GLIMMERDECK_HOME", home_.path().toLocal8Bit());
        QDir(root_.path()).mkpath(QStringLiteral("a"));
        QDir(root_.path()).mkpath(QStringLiteral("b"));
        for (const char *name : {"a/1.png", "a/3.png", "b/2.png", "b/4.png", "5.png"}) {
            QImage img(48, 32, QImage::Format_RGB32);
            img.fill(Qt::darkCyan);
            ASSERT_TRUE(img.save(path(name)));
        }
    }
    void TearDown() override { qunsetenv("GLIMMERDECK_HOME"); }
    QString path(const char *name) const { return root_.filePath(QString::fromUtf8(name)); }

    void drop(QWidget *w, const QStringList &paths)
    {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString &p : paths)
            urls << QUrl::fromLocalFile(p);
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w, &event);
    }

    QTemporaryDir home_, root_;
};
} // namespace

TEST_F(ExchangeTest, DropsBuildOneListInPlayOrder)
{
    ScriptedPrompter prompter;
    MainWindow w({}, &prompter);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    // Two folders and a picture (one of them twice): one list in path order, no duplicates.
    drop(&w, {path("b"), path("a"), path("5.png"), path("a/1.png")});
    EXPECT_EQ(w.state().list.items().join(u',').toStdString(),
              QStringList({path("5.png"), path("a/1.png"), path("a/3.png"), path("b/2.png"), path("b/4.png")})
                  .join(u',')
                  .toStdString());
    EXPECT_TRUE(w.state().ListActive);
    EXPECT_EQ(w.state().PictureIndex, 0);
    EXPECT_TRUE(w.surface()->view(0)->hasPicture());
    EXPECT_TRUE(prompter.statusHistory.contains(QStringLiteral("ただいま、画像を検索中です。")));

    // A list file replaces what came before it in the drop.
    const QString lst = root_.filePath(QStringLiteral("set.lst"));
    ASSERT_TRUE(writeListFile(lst, {path("b/4.png")}));
    drop(&w, {path("a"), lst, path("5.png")});
    EXPECT_EQ(w.state().list.items().join(u',').toStdString(),
              QStringList({path("5.png"), path("b/4.png")}).join(u',').toStdString());

    // Nothing usable empties the view.
    QFile text(root_.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("hello");
    text.close();
    drop(&w, {text.fileName()});
    EXPECT_TRUE(w.state().list.isEmpty());
    EXPECT_FALSE(w.state().ListActive);
    EXPECT_FALSE(w.surface()->view(0)->hasPicture());
}

TEST_F(ExchangeTest, CtrlCCopiesTheShownPictureInSinglePageOnly)
{
    MainWindow w({path("a")});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QApplication::clipboard()->clear();
    ASSERT_TRUE(w.action(ActionId::clipcopy1)->isEnabled());
    QTest::keyClick(&w, Qt::Key_C, Qt::ControlModifier);
    const QMimeData *mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(qvariant_cast<QImage>(mime->imageData()).size(), QSize(48, 32));
    EXPECT_EQ(mime->urls().value(0).toLocalFile(), path("a/1.png"));
    for (int form : {1, 2}) {
        w.viewer().state().settings.Tool.State = form;
        w.viewer().settings().apply();
        EXPECT_FALSE(w.action(ActionId::clipcopy1)->isEnabled()) << form;
    }
}

TEST_F(ExchangeTest, ApplicationsGetActionsAndPopUpItemsFollowingTheList)
{
    QFile ini(QDir(home_.path()).filePath(QStringLiteral("test_app_ui.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Option]\r\nAppDir1=/usr/bin/gimp\r\nAppDir2=/opt/tools.d/edit.sh\r\n");
    ini.close();
    MainWindow w({});
    w.show();
    QList<QAction *> apps;
    for (QAction *a : w.findChildren<QAction *>())
        if (a->objectName().startsWith(QStringLiteral("app")))
            apps << a;
    ASSERT_EQ(apps.size(), 2);
    auto *popup = w.findChild<QMenu *>(QStringLiteral("PopupActionBar1"));
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->actions().size(), 2);
    EXPECT_EQ(popup->actions().at(1)->text(), QStringLiteral("edit"));
    for (QAction *a : apps)
        EXPECT_FALSE(a->isEnabled());
    w.viewer().open(w.viewer().listOps().openFolder(path("a")));
    for (QAction *a : apps)
        EXPECT_TRUE(a->isEnabled());
}

// F4: what the options dialog confirms takes effect at once; Cancel changes nothing.
TEST_F(ExchangeTest, OptionsTakeEffectThroughTheViewer)
{
    ScriptedPrompter prompter;
    MainWindow w({path("a")}, &prompter);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(w.action(ActionId::option1)->isEnabled());
    w.viewer().modes().toggleSlideshow();
    auto answer = [](bool ok) {
        QTimer::singleShot(0, [ok] {
            QWidget *dlg = QApplication::activeModalWidget();
            ASSERT_NE(dlg, nullptr);
            if (ok) {
                dlg->findChild<QSpinBox *>(QStringLiteral("SpinEdit1"))->setValue(0);
                dlg->findChild<QSpinBox *>(QStringLiteral("SpinEdit3"))->setValue(0);
                QTest::mouseClick(dlg->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
            } else {
                dlg->findChild<QSpinBox *>(QStringLiteral("SpinEdit1"))->setValue(7);
                QTest::mouseClick(dlg->findChild<QPushButton *>(QStringLiteral("BitBtn2")), Qt::LeftButton);
            }
        });
    };
    answer(false);
    QTest::keyClick(&w, Qt::Key_F4);
    EXPECT_EQ(w.state().settings.Option.Interval, 2);
    // The window manager gives the main window back its activation.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    answer(true);
    QTest::keyClick(&w, Qt::Key_F4);
    EXPECT_EQ(w.state().settings.Option.Interval, 0);
    EXPECT_EQ(w.state().settings.Option.IntervalM, 100);
    // The running show now steps every 100 ms.
    EXPECT_EQ(prompter.status, QStringLiteral("SlideShow ON - 0.1秒"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.state().PictureIndex >= 1; }, 3000));
    // Not over the full screen.
    w.action(ActionId::Max1)->trigger();
    EXPECT_FALSE(w.action(ActionId::option1)->isEnabled());
    EXPECT_FALSE(w.action(ActionId::ShortcutCreate)->isEnabled());
}
