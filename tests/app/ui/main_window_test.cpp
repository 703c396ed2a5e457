// Wiring of the main window: menus, captions, stepping by keys and the
// full-screen view, on an offscreen screen with a private settings folder.
#include "ScriptedPrompter.h"
#include "app/ui/DisplaySurface.h"
#include "app/ui/FullScreenWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/PictureView.h"
#include "app/ui/ToolBoxLink.h"
#include "fileops/ui/ToolBox.h"
#include "platform/AppPaths.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        qputenv("GLIMMERDECK_HOME", home_.path().toLocal8Bit());
        ASSERT_TRUE(pics_.isValid());
        for (int i = 0; i < 3; ++i) {
            QImage img(40 + i, 30, QImage::Format_RGB32);
            img.fill(QColor(60 * i, 10, 200));
            ASSERT_TRUE(img.save(pics_.filePath(QStringLiteral("p%1.png").arg(i))));
        }
    }
    void TearDown() override { qunsetenv("GLIMMERDECK_HOME"); }

    QString pic(int i) const { return pics_.filePath(QStringLiteral("p%1.png").arg(i)); }

    QTemporaryDir home_;
    QTemporaryDir pics_;
};

QString caption(int pos, int count, const QString &path)
{
    return QStringLiteral("グリマーデック -- [%1/%2] %3").arg(pos).arg(count).arg(path);
}

void key(QWidget *w, Qt::Key k)
{
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

// A file named like a picture that holds none.
bool writeNonPicture(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write("not a picture") > 0;
}

// Records what the window would have shown in message boxes.
using RecordingPrompter = ScriptedPrompter;

} // namespace

TEST_F(MainWindowTest, StartsIdleWithMenusInOrder)
{
    MainWindow w({});
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("グリマーデック Ver 5.5 by ☆Orvane☆"));
    EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("StatusBar1"))->text(), QStringLiteral("SlideShow OFF"));
    QStringList menus;
    for (QAction *a : w.menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("編集(&E)"),
                                  QStringLiteral("ツール(&T)"), QStringLiteral("ヘルプ(&H)")}));
    EXPECT_EQ(w.action(ActionId::slideshow1)->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_FALSE(w.action(ActionId::slideshow1)->isEnabled());
    EXPECT_EQ(w.action(ActionId::menu_random)->data().toInt(), 1);
    EXPECT_EQ(w.action(ActionId::Action1)->data().toInt(), 4);
    EXPECT_FALSE(w.state().ListActive);
    // The empty window tells how to begin.
    auto *hint = w.findChild<QLabel *>(QStringLiteral("IdleHint"));
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().contains(QStringLiteral("ドラッグ＆ドロップ")));
    // A picture that cannot be shown leaves the slot empty, not the hint.
    QTemporaryDir broken;
    QFile bad(broken.filePath(QStringLiteral("bad.jpg")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("\xFF\xD8\xFF\xE0 not a picture");
    bad.close();
    w.viewer().open(w.viewer().listOps().openFolder(broken.path()));
    EXPECT_TRUE(w.state().ListActive);
    EXPECT_FALSE(hint->isVisible());
    w.viewer().open(w.viewer().listOps().openFolder(pics_.path()));
    EXPECT_FALSE(hint->isVisible());
}

TEST_F(MainWindowTest, CommandLineFolderShowsFirstPictureAndKeysStepWithWrap)
{
    MainWindow w({pics_.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(w.state().ListActive);
    EXPECT_EQ(w.windowTitle(), caption(1, 3, pic(0)));
    key(&w, Qt::Key_Right);
    EXPECT_EQ(w.windowTitle(), caption(2, 3, pic(1)));
    key(&w, Qt::Key_Up); // up steps forward too
    key(&w, Qt::Key_PageDown);
    EXPECT_EQ(w.windowTitle(), caption(1, 3, pic(0)));
    key(&w, Qt::Key_Left);
    EXPECT_EQ(w.windowTitle(), caption(3, 3, pic(2)));
    EXPECT_TRUE(w.action(ActionId::slideshow1)->isEnabled());
}

TEST_F(MainWindowTest, FullScreenOpensAndClosesByEnterAndByWindowManager)
{
    MainWindow w({pics_.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    key(&w, Qt::Key_Return);
    ASSERT_NE(w.fullScreenWindow(), nullptr);
    EXPECT_TRUE(w.state().FullScreen);
    EXPECT_TRUE(w.action(ActionId::Max1)->isChecked());
    EXPECT_FALSE(w.isVisible());
    // Keys on the full-screen window step the same list.
    key(w.fullScreenWindow(), Qt::Key_Right);
    EXPECT_EQ(w.state().PictureIndex, 1);
    key(w.fullScreenWindow(), Qt::Key_Return);
    EXPECT_EQ(w.fullScreenWindow(), nullptr);
    EXPECT_FALSE(w.state().FullScreen);
    EXPECT_FALSE(w.action(ActionId::Max1)->isChecked());
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), caption(2, 3, pic(1)));

    w.action(ActionId::Max1)->trigger();
    QPointer<FullScreenWindow> fs = w.fullScreenWindow();
    ASSERT_TRUE(fs);
    fs->close(); // as the window manager would (Alt+F4)
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(fs.isNull());
    EXPECT_EQ(w.fullScreenWindow(), nullptr);
    EXPECT_FALSE(w.state().FullScreen);
    EXPECT_FALSE(w.action(ActionId::Max1)->isChecked());
    EXPECT_TRUE(w.isVisible());
}

TEST_F(MainWindowTest, ClickStepsButDragDoesNot)
{
    MainWindow w({pics_.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QWidget *canvas = w.centralWidget();
    const QPoint at(50, 50);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, at);
    EXPECT_EQ(w.state().PictureIndex, 1);
    QTest::mousePress(canvas, Qt::LeftButton, {}, at);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, at + QPoint(6, 5)); // 11 pixels: a drag
    EXPECT_EQ(w.state().PictureIndex, 1);
    QTest::mouseClick(canvas, Qt::RightButton, {}, at);
    EXPECT_EQ(w.state().PictureIndex, 0);
    QTest::mouseClick(w.statusBar(), Qt::LeftButton, {}, QPoint(5, 5)); // not on the picture area
    EXPECT_EQ(w.state().PictureIndex, 0);
}

TEST_F(MainWindowTest, EscapeClosesAndSavesSettings)
{
    {
        MainWindow w({});
        w.show();
        key(&w, Qt::Key_Escape);
        EXPECT_FALSE(w.isVisible());
    }
    EXPECT_TRUE(QFile::exists(AppPaths::settingsPath()));
}

TEST_F(MainWindowTest, ShortcutRunSavesNothing)
{
    {
        MainWindow w({QStringLiteral("/x=1")});
        w.show();
        EXPECT_TRUE(w.state().ShortcutRun);
        w.close();
    }
    EXPECT_FALSE(QFile::exists(AppPaths::settingsPath()));
}

TEST_F(MainWindowTest, StartListIsRecordedAndHistoryEntryReadsItBack)
{
    MainWindow w({pics_.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    // Written once the first picture is on screen.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(home_.filePath(QStringLiteral("gd1.lst"))); }));
    key(&w, Qt::Key_Right);
    QAction *first = nullptr;
    for (QAction *a : w.actions())
        if (a->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_1))
            first = a;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    first->trigger();
    EXPECT_EQ(w.state().PictureIndex, 0);
    EXPECT_EQ(w.windowTitle(), caption(1, 3, pic(0)));
}

TEST_F(MainWindowTest, SlideshowStatusTextFollowsTheToggle)
{
    MainWindow w({pics_.path(), QStringLiteral("/Time=2.5")});
    w.show();
    auto *status = w.findChild<QLabel *>(QStringLiteral("StatusBar1"));
    w.action(ActionId::slideshow1)->trigger();
    EXPECT_EQ(status->text(), QStringLiteral("SlideShow ON - 2.5秒"));
    EXPECT_TRUE(w.action(ActionId::slideshow1)->isChecked());
    w.slideshowToggle();
    EXPECT_EQ(status->text(), QStringLiteral("SlideShow OFF"));
}

TEST_F(MainWindowTest, FilesDeletedOutsideDropOutAndTheLastOneIsReportedOnce)
{
    RecordingPrompter prompter;
    MainWindow w({pics_.path()}, &prompter);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(QFile::remove(pic(1)));
    key(&w, Qt::Key_Right); // p1 is gone: the next one is shown instead
    EXPECT_EQ(w.windowTitle(), caption(2, 2, pic(2)));
    ASSERT_TRUE(QFile::remove(pic(0)));
    ASSERT_TRUE(QFile::remove(pic(2)));
    key(&w, Qt::Key_Right);
    EXPECT_EQ(prompter.errors, QStringList{QStringLiteral("表示する画像はありません。")});
    EXPECT_EQ(w.windowTitle(), QStringLiteral("グリマーデック Ver 5.5 by ☆Orvane☆"));
    EXPECT_FALSE(w.state().ListActive);
    key(&w, Qt::Key_Right);
    EXPECT_EQ(prompter.errors.size(), 1);
}

TEST_F(MainWindowTest, UndecodableFileBeepsAndEmptiesTheSlot)
{
    const QString bad = pics_.filePath(QStringLiteral("p3.png"));
    ASSERT_TRUE(writeNonPicture(bad));
    RecordingPrompter prompter;
    MainWindow w({pics_.path()}, &prompter);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    key(&w, Qt::Key_Left); // the last file, p3.png
    EXPECT_EQ(w.windowTitle(), caption(4, 4, bad));
    EXPECT_EQ(prompter.beeps, 1);
    auto *view = w.findChild<PictureView *>(QStringLiteral("Image1"));
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->hasPicture());
    key(&w, Qt::Key_Right);
    EXPECT_TRUE(view->hasPicture());
}

// In a spread the page that cannot be shown says so in its own half, and
// the label goes when a spread of good pages follows.
TEST_F(MainWindowTest, ASpreadMarksTheBrokenPageInItsHalf)
{
    ASSERT_TRUE(writeNonPicture(pic(1)));
    RecordingPrompter prompter;
    MainWindow w({pics_.path()}, &prompter);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto shownLabels = [&] {
        QList<QLabel *> out;
        for (QLabel *l : w.findChildren<QLabel *>())
            if (l->isVisible() && l->text() == QStringLiteral("表示不可"))
                out << l;
        return out;
    };
    EXPECT_TRUE(shownLabels().isEmpty());
    for (QRadioButton *b : w.toolBox().window()->findChildren<QRadioButton *>())
        if (b->text() == QStringLiteral("見開き(奇数)"))
            b->click(); // p0 and the broken p1 side by side
    ASSERT_EQ(w.state().settings.Tool.State, 1);
    const QList<QLabel *> labels = shownLabels();
    ASSERT_EQ(labels.size(), 1);
    PictureView *good = nullptr;
    for (PictureView *v : w.findChildren<PictureView *>())
        if (v->isVisible() && v->hasPicture())
            good = v;
    ASSERT_NE(good, nullptr);
    const QRect label(labels[0]->mapTo(&w, QPoint(0, 0)), labels[0]->size());
    const QRect picture(good->mapTo(&w, QPoint(0, 0)), good->size());
    EXPECT_FALSE(label.intersects(picture));
    const int middle = w.centralWidget()->mapTo(&w, w.centralWidget()->rect().center()).x();
    EXPECT_NE(label.center().x() < middle, picture.center().x() < middle) << "the other half";
    key(&w, Qt::Key_Right); // p2 alone
    EXPECT_TRUE(shownLabels().isEmpty());
}

TEST_F(MainWindowTest, KeyRepeatsQueuedWhileBusyAreDropped)
{
    MainWindow w({pics_.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto send = [&](ulong time, bool repeat) {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), repeat);
        e.setTimestamp(time);
        QApplication::sendEvent(&w, &e);
    };
    send(1000, false);
    EXPECT_EQ(w.state().PictureIndex, 1);
    send(999, true); // generated before the previous step had finished
    EXPECT_EQ(w.state().PictureIndex, 1);
    send(60000, true);
    EXPECT_EQ(w.state().PictureIndex, 2);
    send(59000, false); // a real press always counts
    EXPECT_EQ(w.state().PictureIndex, 0);
}

TEST_F(MainWindowTest, FullOnTheCommandLineOpensFullScreenBeforeTheWindowIsShown)
{
    MainWindow w({pics_.path(), QStringLiteral("/Full=on")});
    ASSERT_TRUE(w.startsHidden());
    ASSERT_NE(w.fullScreenWindow(), nullptr);
    w.runFirstShow();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.state().ShortcutRun);
    EXPECT_TRUE(w.state().ListActive);
    EXPECT_TRUE(w.fullScreenWindow()->surface()->view(0)->hasPicture());
    key(w.fullScreenWindow(), Qt::Key_Return);
    EXPECT_EQ(w.fullScreenWindow(), nullptr);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), caption(1, 3, pic(0)));
}

TEST_F(MainWindowTest, CommandLineSwitchesActInTheirOrder)
{
    MainWindow w({pics_.path(), QStringLiteral("/Auto=on"), QStringLiteral("/Time=5")});
    w.show();
    auto *status = w.findChild<QLabel *>(QStringLiteral("StatusBar1"));
    // The show started with the stored interval; /Time came later.
    EXPECT_EQ(status->text(), QStringLiteral("SlideShow ON - 2秒"));
    EXPECT_TRUE(w.action(ActionId::slideshow1)->isChecked());
    EXPECT_EQ(w.state().settings.Option.Interval, 5);
}

// F2 opens the rename dialog on the picture shown, in name order, once.
TEST_F(MainWindowTest, F2OpensTheRenameDialogInNameOrder)
{
    {
        MainWindow idle({});
        EXPECT_FALSE(idle.action(ActionId::fNameChange1)->isEnabled());
    }
    MainWindow w({pics_.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.action(ActionId::menu_reverse)->trigger();
    ASSERT_TRUE(w.action(ActionId::fNameChange1)->isEnabled());
    QString seen;
    QTimer::singleShot(0, [&] {
        if (QWidget *dlg = QApplication::activeModalWidget()) {
            seen = dlg->windowTitle();
            QTest::keyClick(dlg, Qt::Key_Escape);
        }
    });
    QTest::keyClick(&w, Qt::Key_F2);
    EXPECT_EQ(seen, QStringLiteral("画像ファイル名変更"));
    EXPECT_EQ(w.state().SortOrder, PlayOrder::Name);
    EXPECT_EQ(w.state().list.at(0), pic(0));
}

// Rename, transfers and the external applications follow the display form
// and the slideshow, whichever way the state was reached: the tool box's
// radio buttons, the slideshow action, or a folder opened in a spread.
TEST_F(MainWindowTest, FileActionsFollowTheDisplayFormAndTheSlideshow)
{
    MainWindow w({pics_.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    TToolBox *box = w.toolBox().window();
    ASSERT_NE(box, nullptr);
    auto radio = [&](const char *text) {
        for (QRadioButton *b : box->findChildren<QRadioButton *>())
            if (b->text() == QString::fromUtf8(text))
                return b;
        return static_cast<QRadioButton *>(nullptr);
    };
    auto fileActions = [&] {
        return std::array{w.action(ActionId::fNameChange1)->isEnabled(),
                          w.action(ActionId::Transfer1)->isEnabled(), w.viewer().pictureActionsOn()};
    };
    const std::array on{true, true, true}, off{false, false, false};
    EXPECT_EQ(fileActions(), on);
    radio("見開き(奇数)")->click();
    EXPECT_EQ(w.state().settings.Tool.State, 1);
    EXPECT_EQ(fileActions(), off);
    w.viewer().open(w.viewer().listOps().openFolder(pics_.path())); // a list made active in a spread
    EXPECT_EQ(fileActions(), off);
    radio("単ページ")->click();
    EXPECT_EQ(fileActions(), on);
    w.action(ActionId::slideshow1)->trigger();
    EXPECT_EQ(fileActions(), off);
    w.action(ActionId::slideshow1)->trigger();
    EXPECT_EQ(fileActions(), on);
}

// Sorting from the keyboard: a digit moves the picture into its slot's
// folder, Ctrl+Z brings it back, the mode actions carry their check marks.
TEST_F(MainWindowTest, DigitKeyMovesAndCtrlZBringsBack)
{
    QTemporaryDir target;
    ScriptedPrompter prompter;
    MainWindow w({pics_.path()}, &prompter);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto &opt = w.viewer().state().settings.Option;
    w.viewer().state().settings.TransferSlots[0].Folder = target.path();
    w.action(ActionId::MoveMode1)->trigger();
    EXPECT_FALSE(opt.Copy);
    EXPECT_TRUE(w.action(ActionId::MoveMode1)->isChecked());
    EXPECT_FALSE(w.action(ActionId::CopyMode1)->isChecked());
    EXPECT_EQ(w.action(ActionId::Transfer1)->text(), QStringLiteral("転送可能"));
    EXPECT_FALSE(w.action(ActionId::MoveUndo1)->isEnabled());

    QTest::keyClick(&w, Qt::Key_0);
    EXPECT_TRUE(QFile::exists(target.filePath(QStringLiteral("p0.png"))));
    EXPECT_FALSE(QFile::exists(pic(0)));
    EXPECT_EQ(prompter.notices, QStringList{QStringLiteral("移動 完了 ！")});
    EXPECT_EQ(w.windowTitle(), caption(1, 2, pic(1)));
    EXPECT_TRUE(w.action(ActionId::MoveUndo1)->isEnabled());

    QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(pic(0)));
    EXPECT_FALSE(QFile::exists(target.filePath(QStringLiteral("p0.png"))));
    EXPECT_EQ(w.state().list.count(), 3);
    EXPECT_FALSE(w.action(ActionId::MoveUndo1)->isEnabled());

    // The transfer switch closes: digits do nothing, the caption says so.
    w.action(ActionId::Transfer1)->trigger();
    EXPECT_EQ(w.action(ActionId::Transfer1)->text(), QStringLiteral("転送不可"));
    QTest::keyClick(&w, Qt::Key_0);
    EXPECT_TRUE(QFile::exists(pic(0)));
    // Spreads switch transfers off.
    w.viewer().state().settings.Tool.State = 1;
    w.viewer().settings().apply();
    EXPECT_FALSE(w.action(ActionId::Transfer1)->isEnabled());
}

// Keys typed after a dialog or a menu closed reach the viewer, whatever
// widget the window system gave the focus to.
TEST_F(MainWindowTest, KeysReachTheViewerAfterDialogsAndMenus)
{
    MainWindow w({pics_.path()});
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto typed = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QWidget *target = QApplication::activePopupWidget();
        if (!target)
            target = QApplication::focusWidget();
        if (!target)
            target = QApplication::activeWindow();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, k, m);
    };

    // The about box, closed with Enter.
    QTimer::singleShot(0, [] {
        if (QWidget *box = QApplication::activeModalWidget())
            QTest::keyClick(box, Qt::Key_Return);
    });
    w.action(ActionId::about1)->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    typed(Qt::Key_Right);
    EXPECT_EQ(w.state().PictureIndex, 1);

    // Alt+F opens the file menu; Escape closes it, a second Escape leaves the menu bar.
    typed(Qt::Key_F, Qt::AltModifier);
    typed(Qt::Key_Escape);
    typed(Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());
    typed(Qt::Key_Right);
    EXPECT_EQ(w.state().PictureIndex, 2);

    // A menu closed with Escape, then a click on the picture: the arrows still step.
    typed(Qt::Key_F, Qt::AltModifier);
    typed(Qt::Key_Escape);
    QTest::mouseClick(w.surface(), Qt::LeftButton, {}, QPoint(5, 5));
    const int before = w.state().PictureIndex;
    typed(Qt::Key_Left);
    EXPECT_EQ(w.state().PictureIndex, (before + 2) % 3);

    // And Escape still ends the program.
    typed(Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
}

// An error box at start-up (a broken plug-in) must not create the hidden main
// window as its parent: the stored outer geometry would then be applied as
// the inner one, and the window would grow by its frame at every start.
TEST_F(MainWindowTest, StartUpErrorBoxLeavesTheMainWindowUncreated)
{
    QTemporaryDir plugins;
    ASSERT_TRUE(QFile::copy(QStringLiteral(GD_TEST_PLUGIN_DIR "/testing/noinfo.spi"),
                            plugins.filePath(QStringLiteral("noinfo.spi"))));
    QFile ini(AppPaths::settingsPath());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[Susie Plug-in]\r\nDir=%1\r\n").arg(plugins.path()).toUtf8());
    ini.close();
    int boxes = 0;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            ++boxes;
            EXPECT_EQ(box->parentWidget(), nullptr);
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    closer.start(20);
    MainWindow w({});
    closer.stop();
    EXPECT_EQ(boxes, 1);
    EXPECT_FALSE(w.testAttribute(Qt::WA_WState_Created));
}
