// Undo and redo of sorting as a new user meets them: a JPEG with its RAW and
// sidecars moved with one key, then Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z through
// the real main window and its key router; the journal kept across a restart.
#include "PrivateHome.h"
#include "app/ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{
using JournalFlowTest = PrivateHomeTest;

void writePicture(const QString &path, int shade)
{
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(QColor(shade, 80, 40));
    ASSERT_TRUE(img.save(path, "JPEG"));
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QStringList files(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

void key(QWidget *window, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget *to = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(to, k, mods);
}

QString shown(MainWindow &w)
{
    const ViewerState &st = w.state();
    return st.list.isEmpty() ? QString() : QFileInfo(st.list.at(st.PictureIndex)).fileName();
}
} // namespace

TEST_F(JournalFlowTest, APictureTravelsWithItsRawAndSidecarsAndComesBackWithCtrlZ)
{
    QTemporaryDir folder, keepRoot;
    const QString keep = keepRoot.filePath(QStringLiteral("keep"));
    ASSERT_TRUE(QDir().mkpath(keep));
    writePicture(folder.filePath(QStringLiteral("IMG_0042.JPG")), 10);
    writeFile(folder.filePath(QStringLiteral("IMG_0042.CR2")), "raw bytes");
    writeFile(folder.filePath(QStringLiteral("IMG_0042.CR2.xmp")), "<x:xmpmeta/>");
    writePicture(folder.filePath(QStringLiteral("IMG_0043.JPG")), 200);
    const QStringList group = {"IMG_0042.CR2", "IMG_0042.CR2.xmp", "IMG_0042.JPG"};

    MainWindow w({folder.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    // The RAW beside its JPEG is not a picture of its own.
    EXPECT_EQ(w.state().list.count(), 2);
    w.viewer().state().settings.TransferSlots[0].Folder = keep;
    w.action(ActionId::MoveMode1)->trigger();
    ASSERT_EQ(shown(w), QStringLiteral("IMG_0042.JPG"));

    QAction *undo = w.action(ActionId::MoveUndo1);
    QAction *redo = w.action(ActionId::Redo1);
    key(&w, Qt::Key_0);
    EXPECT_EQ(files(keep), group);
    EXPECT_EQ(files(folder.path()), QStringList{"IMG_0043.JPG"});
    EXPECT_EQ(shown(w), QStringLiteral("IMG_0043.JPG"));
    ASSERT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->statusTip(), QStringLiteral("移動 IMG_0042.JPG → keep"));
    EXPECT_EQ(undo->text(), QStringLiteral("１つ前の移動の取り消し(&Z)"));

    key(&w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(files(keep).isEmpty());
    EXPECT_EQ(files(folder.path()), group + QStringList{"IMG_0043.JPG"});
    EXPECT_EQ(w.state().list.count(), 2);
    EXPECT_EQ(shown(w), QStringLiteral("IMG_0042.JPG"));
    EXPECT_FALSE(undo->isEnabled());
    ASSERT_TRUE(redo->isEnabled());

    // Both redo keys make it again; each undo takes it back.
    for (const QKeyCombination redoKey : {QKeyCombination(Qt::ControlModifier, Qt::Key_Y),
                                          QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z)}) {
        key(&w, redoKey.key(), redoKey.keyboardModifiers());
        EXPECT_EQ(files(keep), group);
        EXPECT_EQ(w.state().list.count(), 1);
        key(&w, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(files(folder.path()), group + QStringList{"IMG_0043.JPG"});
    }
    // A new move ends what could be redone.
    key(&w, Qt::Key_0);
    EXPECT_FALSE(redo->isEnabled());
}

TEST_F(JournalFlowTest, MovesOfAnEarlierRunAreUndoneAfterARestart)
{
    QTemporaryDir folder, keep;
    for (int i = 0; i < 3; ++i)
        writePicture(folder.filePath(QStringLiteral("p%1.jpg").arg(i)), 60 * i);
    {
        MainWindow w({folder.path()});
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.viewer().state().settings.TransferSlots[0].Folder = keep.path();
        w.action(ActionId::MoveMode1)->trigger();
        key(&w, Qt::Key_0);
        key(&w, Qt::Key_0);
        ASSERT_EQ(files(keep.path()), QStringList({"p0.jpg", "p1.jpg"}));
        w.close();
    }
    MainWindow w({folder.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_EQ(w.state().list.count(), 1);
    ASSERT_TRUE(w.action(ActionId::MoveUndo1)->isEnabled());
    key(&w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(shown(w), QStringLiteral("p1.jpg"));
    key(&w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(shown(w), QStringLiteral("p0.jpg"));
    EXPECT_TRUE(files(keep.path()).isEmpty());
    EXPECT_EQ(w.state().list.count(), 3);
    EXPECT_FALSE(w.action(ActionId::MoveUndo1)->isEnabled());
}

// Delete on a JPEG with its RAW and sidecar, in a home without
// ~/.local/share: the three go to that home's trash together, and Ctrl+Z
// brings them back with the picture on screen again.
TEST_F(JournalFlowTest, DeleteTrashesTheGroupIntoAFreshHomeAndCtrlZBringsItBack)
{
    QTemporaryDir folder;
    writePicture(folder.filePath(QStringLiteral("IMG_0042.JPG")), 10);
    writeFile(folder.filePath(QStringLiteral("IMG_0042.CR2")), "raw bytes");
    writeFile(folder.filePath(QStringLiteral("IMG_0042.CR2.xmp")), "<x:xmpmeta/>");
    writePicture(folder.filePath(QStringLiteral("IMG_0043.JPG")), 200);
    const QStringList group = {"IMG_0042.CR2", "IMG_0042.CR2.xmp", "IMG_0042.JPG"};
    qunsetenv("XDG_DATA_HOME");
    const QString trash = home_.filePath(QStringLiteral(".local/share/Trash"));
    ASSERT_FALSE(QFileInfo::exists(home_.filePath(QStringLiteral(".local"))));

    MainWindow w({folder.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_EQ(shown(w), QStringLiteral("IMG_0042.JPG"));
    // The question box answers yes to Enter.
    QTimer::singleShot(0, [] {
        QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
    });
    key(&w, Qt::Key_Delete);
    EXPECT_EQ(files(folder.path()), QStringList{"IMG_0043.JPG"});
    EXPECT_EQ(files(trash + "/files"), group);
    EXPECT_EQ(files(trash + "/info").size(), 3);
    EXPECT_EQ(shown(w), QStringLiteral("IMG_0043.JPG"));

    // The box gone, the window manager gives the main window back its keys.
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    key(&w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(files(folder.path()), group + QStringList{"IMG_0043.JPG"});
    EXPECT_TRUE(files(trash + "/files").isEmpty());
    EXPECT_TRUE(files(trash + "/info").isEmpty());
    EXPECT_EQ(shown(w), QStringLiteral("IMG_0042.JPG"));
    EXPECT_EQ(w.state().list.count(), 2);
}
