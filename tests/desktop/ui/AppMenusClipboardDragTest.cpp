#include "ScriptedPrompter.h"
#include "desktop/FileMime.h"
#include "desktop/ui/AppMenus.h"
#include "desktop/ui/ClipboardCopy.h"
#include "desktop/ui/DragOut.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>

TEST(AppMenus, TwoApplicationsGiveTwoActionsAndTwoPopUpItems)
{
    QMenu tools, popup;
    tools.addAction("ツールボックス(&B)");
    tools.addSeparator();
    AppMenus menus(&tools, &popup);
    const QList<AppEntry> apps{ReadAppEntry("/usr/bin/gimp", "C"), ReadAppEntry("/opt/my.tools/R&D.sh", "C")};

    menus.rebuild(AppMenuModel(apps, false)); // no list yet
    ASSERT_EQ(tools.actions().size(), 4);
    ASSERT_EQ(popup.actions().size(), 2);
    EXPECT_EQ(tools.actions()[2]->objectName(), "app0");
    EXPECT_EQ(tools.actions()[2]->text(), "&gimp");
    EXPECT_EQ(tools.actions()[3]->objectName(), "app1");
    EXPECT_EQ(tools.actions()[3]->text(), "&R&&D");
    EXPECT_EQ(popup.actions()[1]->text(), "R&&D");
    for (QAction *a : menus.actions() + menus.popupActions())
        EXPECT_FALSE(a->isEnabled());

    menus.setEnabled(true); // a list became active
    for (QAction *a : menus.actions() + menus.popupActions())
        EXPECT_TRUE(a->isEnabled());

    QSignalSpy launch(&menus, &AppMenus::launchRequested);
    tools.actions()[3]->trigger();
    popup.actions()[0]->trigger();
    ASSERT_EQ(launch.size(), 2);
    EXPECT_EQ(launch[0][0].toInt(), 1);
    EXPECT_EQ(launch[1][0].toInt(), 0);

    // A rebuild replaces both sets as a whole and keeps the menu's own items.
    menus.rebuild(AppMenuModel({ReadAppEntry("/usr/bin/darktable", "C")}, true));
    ASSERT_EQ(tools.actions().size(), 3);
    EXPECT_EQ(tools.actions()[0]->text(), "ツールボックス(&B)");
    EXPECT_EQ(tools.actions()[2]->objectName(), "app0");
    EXPECT_EQ(tools.actions()[2]->text(), "&darktable");
    EXPECT_TRUE(tools.actions()[2]->isEnabled());
    ASSERT_EQ(popup.actions().size(), 1);
    EXPECT_EQ(popup.actions()[0]->text(), "darktable");

    menus.rebuild({});
    EXPECT_EQ(tools.actions().size(), 2);
    EXPECT_TRUE(popup.actions().isEmpty());
}

TEST(ClipboardCopy, PutsThePictureAndItsFileInOneEntry)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText("before");
    QImage shown(320, 200, QImage::Format_RGB32);
    shown.fill(Qt::blue);
    const QString path = "/home/me/写真/a b.jpg";
    ScriptedPrompter prompter;

    ASSERT_TRUE(CopyPictureToClipboard(shown, path, prompter));
    const QMimeData *mime = clipboard->mimeData();
    ASSERT_TRUE(mime && mime->hasImage());
    EXPECT_EQ(clipboard->image().size(), QSize(320, 200));
    EXPECT_EQ(clipboard->image().pixelColor(5, 5), QColor(Qt::blue));
    EXPECT_EQ(DroppedPaths(mime), QStringList{path});
    EXPECT_TRUE(mime->data("x-special/gnome-copied-files").startsWith("copy\nfile:///home/me/"));
    EXPECT_EQ(prompter.beeps, 0);

    // Nothing that can go on the clipboard: a beep, and the clipboard keeps its entry.
    EXPECT_FALSE(CopyPictureToClipboard(QImage(), path, prompter));
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_EQ(clipboard->image().size(), QSize(320, 200));
}

namespace
{

void send(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A picture widget that counts the presses and releases reaching it, as
// the window's click handling would.
struct PictureWidget : QWidget {
    int releases = 0;
    void mouseReleaseEvent(QMouseEvent *) override { ++releases; }
};

} // namespace

TEST(DragOut, StartsOnlyBeyondTheDragDistanceWithTheButtonHeld)
{
    PictureWidget picture;
    picture.resize(400, 300);
    picture.setMouseTracking(true); // as in full screen, where the cursor hides
    bool slideshow = false;
    QString shown = "/pics/a.jpg";
    QStringList dropsSwitched;
    DragOut drag(&picture, {[&](QPoint) { return shown; },
                            [&] { return slideshow; },
                            [&](bool on) { dropsSwitched << (on ? "on" : "off"); },
                            {}});
    QSignalSpy started(&drag, &DragOut::started);
    QSignalSpy finished(&drag, &DragOut::finished);
    const int d = QApplication::startDragDistance();
    const QPoint p(100, 100);

    // A shorter move stays a click.
    send(&picture, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    send(&picture, QEvent::MouseMove, p + QPoint(d - 1, 0), Qt::NoButton, Qt::LeftButton);
    send(&picture, QEvent::MouseButtonRelease, p + QPoint(d - 1, 0), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(started.size(), 0);
    EXPECT_EQ(picture.releases, 1);

    // The right button, or a move without the left button held, drags nothing.
    send(&picture, QEvent::MouseButtonPress, p, Qt::RightButton, Qt::RightButton);
    send(&picture, QEvent::MouseMove, p + QPoint(3 * d, 0), Qt::NoButton, Qt::RightButton);
    send(&picture, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    send(&picture, QEvent::MouseMove, p + QPoint(3 * d, 0), Qt::NoButton, Qt::NoButton);
    send(&picture, QEvent::MouseMove, p + QPoint(4 * d, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(started.size(), 0);

    // Far enough with the left button held: the drag runs, the viewer's own
    // drops are off meanwhile, and its release is no click.
    send(&picture, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    send(&picture, QEvent::MouseMove, p + QPoint(d / 2, d - d / 2), Qt::NoButton, Qt::LeftButton);
    ASSERT_EQ(started.size(), 1);
    EXPECT_EQ(started[0][0].toString(), shown);
    ASSERT_EQ(finished.size(), 1);
    EXPECT_EQ(dropsSwitched, QStringList({"off", "on"}));
    const int before = picture.releases;
    send(&picture, QEvent::MouseButtonRelease, p + QPoint(d, 0), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(picture.releases, before);

    // During the slideshow, or with no picture under the press, nothing starts.
    for (int i = 0; i < 2; ++i) {
        slideshow = i == 0;
        shown = i == 0 ? "/pics/a.jpg" : "";
        send(&picture, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
        send(&picture, QEvent::MouseMove, p + QPoint(2 * d, 0), Qt::NoButton, Qt::LeftButton);
        send(&picture, QEvent::MouseButtonRelease, p + QPoint(2 * d, 0), Qt::LeftButton, Qt::NoButton);
    }
    EXPECT_EQ(started.size(), 1);
    EXPECT_EQ(dropsSwitched.size(), 2);
}
