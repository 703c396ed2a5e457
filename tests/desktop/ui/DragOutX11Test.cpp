// Dragging the picture out through a real X server: the mouse is driven by
// xdotool, so the drag goes through the X drag-and-drop protocol exactly as
// with a hand on the mouse. Runs under Xvfb (tests/desktop/ui/drag_out_x11.sh);
// elsewhere these tests are skipped.
#include "desktop/ui/DragOut.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWidget>
#include <gtest/gtest.h>

namespace
{

// A drop target that writes down what it received, as a file manager would
// take it: the formats offered, the URLs, and the action.
struct DropTarget : QWidget {
    QString logPath;          // when set, each drop is also written there
    QList<QStringList> drops; // per drop: its formats, then its URLs

    DropTarget() { setAcceptDrops(true); }
    void dragEnterEvent(QDragEnterEvent *e) override
    {
        if (e->mimeData()->hasUrls())
            e->acceptProposedAction();
    }
    void dragMoveEvent(QDragMoveEvent *e) override { e->acceptProposedAction(); }
    void dropEvent(QDropEvent *e) override
    {
        QStringList lines;
        lines << "formats " + e->mimeData()->formats().join(u' ');
        for (const QUrl &u : e->mimeData()->urls())
            lines << "url " + QString::fromUtf8(u.toEncoded());
        e->acceptProposedAction();
        drops.append(lines);
        if (logPath.isEmpty())
            return;
        QFile f(logPath + ".tmp");
        if (f.open(QIODevice::WriteOnly))
            f.write(lines.join(u'\n').toUtf8());
        f.close();
        QFile::rename(logPath + ".tmp", logPath);
    }
};

bool onX11()
{
    return QGuiApplication::platformName() == u"xcb" && !QStandardPaths::findExecutable("xdotool").isEmpty();
}

// Moves the real pointer: press at `from`, move past the drag distance,
// travel to `to`, then either release there or press Escape first.
QProcess *driveMouse(QPoint from, QPoint to, bool escape)
{
    auto xy = [](QPoint p) { return QStringList{QString::number(p.x()), QString::number(p.y())}; };
    QStringList a;
    a << "mousemove" << xy(from) << "sleep"
      << "0.3"
      << "mousedown"
      << "1"
      << "sleep"
      << "0.3";
    for (int step = 1; step <= 4; ++step)
        a << "mousemove" << xy(from + QPoint(6 * step, 2 * step)) << "sleep"
          << "0.1";
    a << "mousemove" << xy((from + to) / 2) << "sleep"
      << "0.3";
    a << "mousemove" << xy(to) << "sleep"
      << "0.4";
    a << "mousemove" << xy(to + QPoint(3, 3)) << "sleep"
      << "0.4";
    if (escape)
        a << "key"
          << "Escape"
          << "sleep"
          << "0.4";
    a << "mouseup"
      << "1";
    auto *p = new QProcess;
    p->start("xdotool", a);
    return p;
}

QWidget *showAt(QWidget *w, QRect geometry)
{
    w->setGeometry(geometry);
    w->show();
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
    QTest::qWait(300); // let the window manager settle it
    return w;
}

QPoint centre(QWidget *w)
{
    return w->mapToGlobal(w->rect().center());
}

} // namespace

// The other end of the first test, started as its own process.
TEST(DragOutX11Helper, DropTarget)
{
    const QString dir = qEnvironmentVariable("GD_DROP_TARGET_DIR");
    if (dir.isEmpty() || !onX11())
        GTEST_SKIP() << "started only by DragOutX11.FileManagerInAnotherProgramGetsTheFile";
    DropTarget target;
    target.logPath = dir + "/dropped";
    showAt(&target, QRect(700, 200, 300, 300));
    const QPoint c = centre(&target);
    QFile ready(dir + "/ready");
    ASSERT_TRUE(ready.open(QIODevice::WriteOnly));
    ready.write(QByteArray::number(c.x()) + ' ' + QByteArray::number(c.y()));
    ready.close();
    QTRY_VERIFY_WITH_TIMEOUT(!target.drops.isEmpty(), 20000);
    QTest::qWait(200); // let the source hear that the drop is finished
}

TEST(DragOutX11, FileManagerInAnotherProgramGetsTheFile)
{
    if (!onX11())
        GTEST_SKIP() << "needs an X server and xdotool";
    QTemporaryDir dir;
    const QString picture = dir.filePath("写真 フォルダ/夏の 海.jpg");
    QDir().mkpath(QFileInfo(picture).absolutePath());
    QFile(picture).open(QIODevice::WriteOnly);

    QProcess target;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("GD_DROP_TARGET_DIR", dir.path());
    target.setProcessEnvironment(env);
    target.setProcessChannelMode(QProcess::ForwardedChannels);
    target.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=DragOutX11Helper.DropTarget"});
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(dir.filePath("ready")), 15000);
    QFile ready(dir.filePath("ready"));
    ASSERT_TRUE(ready.open(QIODevice::ReadOnly));
    const QList<QByteArray> xy = ready.readAll().split(' ');
    const QPoint to(xy.value(0).toInt(), xy.value(1).toInt());

    QWidget source;
    QStringList switched;
    DragOut drag(
        &source,
        {[&](QPoint) { return picture; }, {}, [&](bool on) { switched << (on ? "on" : "off"); }, {}});
    QSignalSpy finished(&drag, &DragOut::finished);
    showAt(&source, QRect(100, 200, 300, 300));
    std::unique_ptr<QProcess> mouse(driveMouse(centre(&source), to, false));
    QTRY_VERIFY_WITH_TIMEOUT(finished.size() == 1, 20000);
    // Keep serving events: the target asks us for the data after the drop.
    QTRY_VERIFY_WITH_TIMEOUT(target.state() == QProcess::NotRunning, 15000);
    EXPECT_EQ(target.exitCode(), 0);

    QFile dropped(dir.filePath("dropped"));
    ASSERT_TRUE(dropped.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(dropped.readAll()).split(u'\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[0].contains("text/uri-list")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains("x-special/gnome-copied-files")) << lines[0].toStdString();
    EXPECT_EQ(lines.mid(1),
              QStringList{"url " + QString::fromUtf8(QUrl::fromLocalFile(picture).toEncoded())});
    EXPECT_EQ(finished[0][1].value<Qt::DropAction>(), Qt::CopyAction);
    EXPECT_EQ(switched, QStringList({"off", "on"}));
}

TEST(DragOutX11, ViewersOwnWindowsRefuseTheDragAndEscapeCancels)
{
    if (!onX11())
        GTEST_SKIP() << "needs an X server and xdotool";
    QWidget source;
    DropTarget own; // say, the tool box
    bool switchOff = true;
    DragOut drag(&source, {[](QPoint) { return QStringLiteral("/pics/a.jpg"); },
                           {},
                           [&](bool on) { own.setAcceptDrops(on || !switchOff); },
                           {}});
    QSignalSpy finished(&drag, &DragOut::finished);
    showAt(&source, QRect(100, 200, 300, 300));
    showAt(&own, QRect(700, 200, 300, 300));

    // The test can tell a drop: without the switch the window does get it.
    switchOff = false;
    std::unique_ptr<QProcess> mouse(driveMouse(centre(&source), centre(&own), false));
    QTRY_VERIFY_WITH_TIMEOUT(finished.size() == 1, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(mouse->state() == QProcess::NotRunning, 5000);
    EXPECT_EQ(own.drops.size(), 1);

    switchOff = true;
    own.drops.clear();
    mouse.reset(driveMouse(centre(&source), centre(&own), false));
    QTRY_VERIFY_WITH_TIMEOUT(finished.size() == 2, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(mouse->state() == QProcess::NotRunning, 5000);
    EXPECT_TRUE(own.drops.isEmpty());
    EXPECT_EQ(finished[1][1].value<Qt::DropAction>(), Qt::IgnoreAction);
    EXPECT_TRUE(own.acceptDrops()); // on again after the drag

    // Escape while over a window that would take it: nothing is dropped.
    switchOff = false;
    mouse.reset(driveMouse(centre(&source), centre(&own), true));
    QTRY_VERIFY_WITH_TIMEOUT(finished.size() == 3, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(mouse->state() == QProcess::NotRunning, 5000);
    EXPECT_TRUE(own.drops.isEmpty());
    EXPECT_EQ(finished[2][1].value<Qt::DropAction>(), Qt::IgnoreAction);
}
