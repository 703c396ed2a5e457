// The tool box among the viewer's windows: above the viewer after full
// screen, its hints while the main window has the keys, within a small
// screen, below the viewer's dialogs, and beside the window on a first start.
#include "ToolBoxSupport.h"
#include "app/ui/FullScreenWindow.h"
#include "common/DesktopFit.h"
#include "platform/AppPaths.h"
#include "settings/IniFile.h"

#include <QFile>
#include <QMenuBar>
#include <QProcess>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QWindow>

namespace
{
bool onTop(TToolBox *box)
{
    return box->windowHandle() && box->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint);
}
} // namespace

// On a real X server with a window manager: back from full screen the tool
// box is still "always on top", above the main window and where it was (the
// window manager forgets the state when the window is hidden on the way).
// Run by the CTest entry fileops_ui_x11 (tests/support/run_x11.sh); skipped on other platforms.
TEST_F(ToolBoxFixture, X11AfterFullScreenAndBackItStaysAboveTheMainWindow)
{
    if (QGuiApplication::platformName() != u"xcb" || QStandardPaths::findExecutable("xprop").isEmpty())
        GTEST_SKIP() << "needs X11 and xprop (ctest -R fileops_ui_x11)";
    auto xprop = [](const QStringList &args) {
        QProcess p;
        p.start(QStringLiteral("xprop"), args);
        p.waitForFinished(5000);
        return QString::fromLatin1(p.readAllStandardOutput());
    };
    // Stacking order, bottom first, of the windows the window manager knows.
    auto stacking = [&] {
        QList<WId> ids;
        const QString list = xprop({QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
        for (const QString &id : list.section(u'#', 1).split(u',', Qt::SkipEmptyParts))
            ids << id.trimmed().toULongLong(nullptr, 16);
        return ids;
    };
    if (stacking().isEmpty())
        GTEST_SKIP() << "needs a window manager";
    makePictures(2);
    MainWindow w({pics_.path()});
    showActive(w);
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return box->isVisible(); }, 3000));
    QTest::qWait(300);
    const QPoint at = box->frameGeometry().topLeft();
    w.action(ActionId::Max1)->trigger(); // full screen
    ASSERT_NE(w.fullScreenWindow(), nullptr);
    QTest::qWait(500);
    w.action(ActionId::Max1)->trigger(); // and back
    ASSERT_EQ(w.fullScreenWindow(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(500);
    EXPECT_TRUE(box->isVisible());
    const WId boxId = box->windowHandle()->winId(), mainId = w.windowHandle()->winId();
    const QString state =
        xprop({QStringLiteral("-id"), QString::number(boxId), QStringLiteral("_NET_WM_STATE")});
    EXPECT_TRUE(state.contains(QStringLiteral("_NET_WM_STATE_ABOVE"))) << state.toStdString();
    const QList<WId> order = stacking();
    ASSERT_TRUE(order.contains(boxId) && order.contains(mainId)) << boxId << " " << mainId;
    EXPECT_GT(order.indexOf(boxId), order.indexOf(mainId));
    // Where it was, not lower by its title bar.
    EXPECT_EQ(box->frameGeometry().topLeft(), at);
}

// On a real X server with a window manager, a first start: the window stays
// in the middle of the screen when the tool box opens beside it (a tool box
// shown before the window made the manager move the window to the corner).
TEST_F(ToolBoxFixture, X11FirstStartTheWindowStaysCentred)
{
    if (QGuiApplication::platformName() != u"xcb")
        GTEST_SKIP() << "needs X11 (ctest -R fileops_ui_x11)";
    makePictures(2);
    MainWindow w({pics_.path()});
    showActive(w);
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return box->isVisible(); }, 3000));
    QTest::qWait(1000); // the window manager's moves, if any
    const QPoint off = w.frameGeometry().center() - w.screen()->availableGeometry().center();
    const QRect f = w.frameGeometry(), g = w.geometry(), b = box->frameGeometry();
    EXPECT_LE(off.manhattanLength(), 40) << off.x() << "," << off.y() << " frame " << f.x() << "," << f.y() << " "
                                         << f.width() << "x" << f.height() << " client " << g.x() << "," << g.y()
                                         << " box " << b.x() << "," << b.y() << " " << b.width() << "x" << b.height();
    const QRect menu(w.menuBar()->mapToGlobal(QPoint(0, 0)), w.menuBar()->size());
    EXPECT_FALSE(box->frameGeometry().intersects(menu));
}

// On a real X server: decoding ahead waits for the tool box opening at start
// until the tool box is on screen, not for the half second it waits at most.
TEST_F(ToolBoxFixture, X11AtStartDecodingAheadWaitsOnlyUntilTheToolBoxIsOnScreen)
{
    if (QGuiApplication::platformName() != u"xcb")
        GTEST_SKIP() << "needs X11 (ctest -R fileops_ui_x11)";
    makePictures(2);
    MainWindow w({pics_.path()});
    w.show();
    ASSERT_TRUE(w.viewer().startUp().waitsForWindows());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            TToolBox *box = w.toolBox().window();
            return box && box->windowHandle() && box->windowHandle()->isExposed();
        },
        3000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !w.viewer().startUp().waitsForWindows(); }, 250));
}

// On a real X server the tool box opening at start is built a moment after
// the main window is shown. A viewer closed within that moment still keeps
// that the tool box is open, and where it is to appear.
TEST_F(ToolBoxFixture, X11ClosedBeforeTheToolBoxAppearedItStaysOpenAndInPlace)
{
    if (QGuiApplication::platformName() != u"xcb")
        GTEST_SKIP() << "needs X11 (ctest -R fileops_ui_x11)";
    makePictures(1);
    QFile settings(AppPaths::settingsPath());
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Tool]\r\nLeft=123\r\nTop=45\r\n");
    settings.close();
    {
        MainWindow w({pics_.path()});
        w.show();
        ASSERT_TRUE(w.toolBox().isOpen());
        ASSERT_EQ(w.toolBox().window(), nullptr) << "built at once: nothing to check";
        w.close();
    }
    IniFile ini(AppPaths::settingsPath());
    ASSERT_TRUE(ini.load());
    EXPECT_EQ(ini.value(QStringLiteral("Tool"), QStringLiteral("Show"), {}), QStringLiteral("1"));
    EXPECT_EQ(ini.value(QStringLiteral("Tool"), QStringLiteral("Left"), {}), QStringLiteral("123"));
    EXPECT_EQ(ini.value(QStringLiteral("Tool"), QStringLiteral("Top"), {}), QStringLiteral("45"));
}

// The tool box is never the active window, yet its hints show: the folder
// hint is the only place where a transfer button's whole folder shows.
TEST_F(ToolBoxFixture, HintsShowWhileTheMainWindowHasTheKeys)
{
    makePictures(2);
    MainWindow w({pics_.path()});
    w.viewer().state().settings.TransferSlots[0].Folder = pics_.path();
    showActive(w);
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ASSERT_FALSE(box->isActiveWindow());

    const struct {
        QWidget *target;
        QString hint;
    } cases[] = {
        {named<QToolButton>(box, "FrontBtn"), QStringLiteral("次画像")},
        {box->transferArea()->button(0), pics_.path()},
    };
    for (const auto &c : cases) {
        QToolTip::hideText();
        ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000));
        QTest::mouseMove(c.target, c.target->rect().center());
        EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 3000)) << c.hint.toStdString();
        EXPECT_EQ(QToolTip::text(), c.hint);
        QTest::mouseMove(&w, w.rect().center());
    }
    QToolTip::hideText();
}

// At twice the scale on a 1280×960 screen (640×480 for the windows) the
// tool box with five buttons is taller than the screen: it is shrunk to it,
// and the last button is reached by scrolling. The screen's scale is fixed
// when the program starts, so the test runs itself again on such a screen.
TEST_F(ToolBoxFixture, AtTwiceTheScaleItIsShrunkToTheScreenAndScrolls)
{
    if (qEnvironmentVariableIsEmpty("GD_TEST_SCALED_SCREEN")) {
        QTemporaryDir dir;
        const QString config = dir.filePath(QStringLiteral("screen.json"));
        QFile f(config);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(R"({"screens": [{"name": "scaled", "x": 0, "y": 0, "width": 1280, "height": 960,
                    "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        f.close();
        QProcess self;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("GD_TEST_SCALED_SCREEN"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + config);
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
        self.setProcessEnvironment(env);
        self.setProcessChannelMode(QProcess::MergedChannels);
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        self.start(QCoreApplication::applicationFilePath(),
                   {QStringLiteral("--gtest_filter=%1.%2").arg(info->test_suite_name(), info->name())});
        ASSERT_TRUE(self.waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(self.readAll());
        EXPECT_EQ(self.exitCode(), 0) << out.toStdString();
        EXPECT_TRUE(out.contains(QStringLiteral("[  PASSED  ] 1 test"))) << out.toStdString();
        return;
    }
    makePictures(2);
    MainWindow w({pics_.path()});
    w.show();
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    const QRect desk = box->screen()->geometry();
    ASSERT_EQ(desk.size(), QSize(640, 480));
    EXPECT_TRUE(desk.contains(box->frameGeometry()));
    // A first start with no room beside the window: the menu bar stays clear.
    const QRect menu(w.menuBar()->mapToGlobal(QPoint(0, 0)), w.menuBar()->size());
    EXPECT_FALSE(box->frameGeometry().intersects(menu));
    auto *scroll = box->findChild<QScrollArea *>(QStringLiteral("ToolBoxScroll"));
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->widget()->height(), 350 + 24 * 5 + 39);
    QScrollBar *bar = scroll->verticalScrollBar();
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->isVisible(); }, 1000));
    // Nothing is hidden beside the scroll bar.
    EXPECT_GE(scroll->viewport()->width(), 142);
    QPushButton *last = box->transferArea()->button(4);
    scroll->ensureWidgetVisible(last);
    const QRect shown(last->mapTo(scroll->viewport(), QPoint(0, 0)), last->size());
    EXPECT_TRUE(scroll->viewport()->rect().contains(shown));
    // Back on a screen where it fits, it is whole again.
    box->resize(box->width(), 350 + 24 * 5 + 39);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !bar->isVisible(); }, 1000));
    EXPECT_EQ(box->width(), 142);
}

// A modal dialog of the viewer (here the options) is not covered by the
// tool box; once it closed the tool box is on top again.
TEST_F(ToolBoxFixture, ModalDialogsAreNotCoveredByIt)
{
    makePictures(2);
    MainWindow w({pics_.path()});
    showActive(w);
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(onTop(box));
    bool seen = false, coveredWhileOpen = true;
    QTimer::singleShot(0, [&] {
        QWidget *dlg = QApplication::activeModalWidget();
        ASSERT_NE(dlg, nullptr);
        seen = true;
        // The tool box steps down once the dialog's showing is through.
        coveredWhileOpen = !QTest::qWaitFor([&] { return !onTop(box); }, 1000);
        QTest::keyClick(dlg, Qt::Key_Escape);
    });
    QTest::keyClick(&w, Qt::Key_F4);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(coveredWhileOpen);
    EXPECT_TRUE(QTest::qWaitFor([&] { return onTop(box); }, 1000));
}

// A first start (no settings file): the window in the middle of the screen,
// the tool box clear of its menu bar (beside it where there is room).
TEST_F(ToolBoxFixture, FirstStartCentresTheWindowAndKeepsTheMenuBarClear)
{
    makePictures(2);
    MainWindow w({pics_.path()});
    showActive(w);
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    const QRect avail = w.screen()->availableGeometry();
    const QPoint off = w.frameGeometry().center() - avail.center();
    EXPECT_LE(off.manhattanLength(), 40) << off.x() << "," << off.y();
    const QRect menu(w.menuBar()->mapToGlobal(QPoint(0, 0)), w.menuBar()->size());
    EXPECT_FALSE(box->frameGeometry().intersects(menu));
}

// Where the tool box goes beside the main window, on a 1280×1024 desktop.
TEST(PlaceBesideTest, RightThenLeftThenTheEdgeBelowTheMenuBar)
{
    const QRect desk(0, 0, 1280, 1024);
    const QSize box(150, 530);
    const struct {
        QRect main;
        QPoint expected;
    } cases[] = {
        {QRect(330, 280, 620, 463), QPoint(950, 280)},   // room on the right
        {QRect(600, 280, 620, 463), QPoint(450, 280)},   // on the left
        {QRect(100, 600, 1000, 300), QPoint(1100, 494)}, // beside, moved up to fit
        {QRect(60, 280, 1160, 463), QPoint(1130, 310)},  // no room: below the menu bar
    };
    for (const auto &c : cases)
        EXPECT_EQ(PlaceBeside(c.main, box, desk, c.main.top() + 30), c.expected) << c.main.left();
}
