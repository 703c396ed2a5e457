// The sorting half driven as a user does: keys typed to the focused widget of
// the real main window, through its key router, quickly, with a private home.
#include "PrivateHome.h"
#include "ScriptedPrompter.h"
#include "app/ui/MainWindow.h"
#include "app/ui/ToolBoxLink.h"
#include "common/ui/MsgDialog.h"
#include "fileops/RenameModes.h"
#include "fileops/ui/ToolBox.h"
#include "fileops/ui/ToolBoxTransferArea.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

namespace
{

using SortingFlowTest = PrivateHomeTest;

void makePictures(const QTemporaryDir &dir, const QStringList &names)
{
    int i = 0;
    for (const QString &n : names) {
        QImage img(30 + i, 20, QImage::Format_RGB32);
        img.fill(QColor(20 * i++, 90, 30));
        ASSERT_TRUE(img.save(dir.filePath(n), "PNG"));
    }
}

QStringList files(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files, QDir::Name);
}

// Keys go where the window system would deliver them: the focused widget.
void press(QWidget *window, Qt::Key k)
{
    QWidget *to = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(to, k);
}

} // namespace

// Sorting as fast as the hand goes: digit keys 200 ms apart each move one
// picture, in order, while the notices come and go and numbered names wait.
TEST_F(SortingFlowTest, DigitKeysTypedDuringNoticesAllMoveInOrder)
{
    QTemporaryDir folder, keep, drop;
    makePictures(folder, {"s0.png", "s1.png", "s2.png", "s3.png", "s4.png", "s5.png", "s6.png", "s7.png"});
    // Two names already taken: those moves wait for a numbered name.
    ASSERT_TRUE(
        QFile::copy(folder.filePath(QStringLiteral("s2.png")), keep.filePath(QStringLiteral("s2.png"))));
    ASSERT_TRUE(
        QFile::copy(folder.filePath(QStringLiteral("s5.png")), drop.filePath(QStringLiteral("s5.png"))));
    MainWindow w({folder.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.viewer().state().settings.TransferSlots[0].Folder = keep.path();
    w.viewer().state().settings.TransferSlots[1].Folder = drop.path();
    w.viewer().state().settings.Option.Numbering = true;
    w.action(ActionId::MoveMode1)->trigger();

    int sent = 0;
    int noticesSeen = 0;
    QTimer typist;
    typist.setInterval(200);
    QObject::connect(&typist, &QTimer::timeout, [&] {
        if (TfMsgDialog *n = TfMsgDialog::current(); n && n->isVisible())
            ++noticesSeen;
        if (sent == 8) {
            typist.stop();
            return;
        }
        press(&w, sent % 2 ? Qt::Key_1 : Qt::Key_0);
        ++sent;
    });
    // The box saying the folder is empty answers after the last move.
    QStringList boxes;
    QTimer closer;
    closer.setInterval(100);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            boxes << box->windowTitle();
            box->reject();
        }
    });
    closer.start();
    typist.start();
    QTRY_VERIFY_WITH_TIMEOUT(!typist.isActive(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(w.state().list.count(), 0, 5000);

    EXPECT_GE(noticesSeen, 6);
    EXPECT_LE(boxes.size(), 1) << boxes.join(' ').toStdString();
    for (int i = 0; i < 8; ++i) {
        const QDir to(i % 2 ? drop.path() : keep.path());
        const QString name = QStringLiteral("s%1.png").arg(i);
        EXPECT_FALSE(QFile::exists(folder.filePath(name))) << i;
        if (i == 2 || i == 5)
            EXPECT_EQ(to.entryList({QStringLiteral("s%1*.png").arg(i)}).size(), 2) << i;
        else
            EXPECT_TRUE(to.exists(name)) << i;
    }
    EXPECT_EQ(QDir(keep.path()).entryList(QDir::Files).size(), 5);
    EXPECT_EQ(QDir(drop.path()).entryList(QDir::Files).size(), 5);
}

// One Enter renames one picture in every mode and the dialog moves on by
// one; where the name box is hidden Enter goes on renaming picture after
// picture, and the window shows the last new name once the dialog closed.
TEST_F(SortingFlowTest, EnterInTheRenameDialogRenamesOnePictureInEveryMode)
{
    QFile rules(QDir(home_.path()).filePath(QStringLiteral("DCIM_rule.dat")));
    ASSERT_TRUE(rules.open(QIODevice::WriteOnly));
    rules.write("IMG_,4(canon)\n");
    rules.close();
    for (int mode = 0; mode < kRenameModeCount; ++mode) {
        SCOPED_TRACE(mode);
        QTemporaryDir folder;
        const QStringList before{"IMG_0001_beach.png", "IMG_0002.png", "IMG_0003.png", "IMG_0004.png"};
        makePictures(folder, before);
        ScriptedPrompter prompter;
        MainWindow w({folder.path()}, &prompter);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.viewer().state().settings.RenameMode = uint8_t(mode);
        press(&w, Qt::Key_Right); // the copy modes need a picture before
        ASSERT_EQ(w.state().PictureIndex, 1);

        QStringList afterOne;
        int indexAfterOne = -1;
        bool editShown = false;
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_TRUE(dlg);
            auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("Edit1"));
            editShown = edit && edit->isVisible();
            if (qobject_cast<QLineEdit *>(dlg->focusWidget()))
                QTest::keyClicks(dlg->focusWidget(), QStringLiteral("x"));
            press(dlg, Qt::Key_Return);
            afterOne = files(folder);
            indexAfterOne = w.state().PictureIndex;
            // Without a name box, Enter carries on to the last picture.
            for (int i = 0; i < 3 && dlg->isVisible() && !(edit && edit->isVisible()); ++i)
                press(dlg, Qt::Key_Return);
            if (dlg->isVisible())
                press(dlg, Qt::Key_Escape);
        });
        press(&w, Qt::Key_F2);

        QStringList gone;
        for (const QString &n : before)
            if (!afterOne.contains(n))
                gone << n;
        EXPECT_EQ(gone, QStringList{"IMG_0002.png"}) << afterOne.join(' ').toStdString();
        EXPECT_EQ(indexAfterOne, 2);
        EXPECT_TRUE(prompter.errors.isEmpty()) << prompter.errors.join(' ').toStdString();
        if (!editShown) {
            const QStringList now = files(folder);
            EXPECT_FALSE(now.contains("IMG_0003.png") || now.contains("IMG_0004.png"))
                << now.join(' ').toStdString();
            const QString last = w.state().list.at(w.state().list.count() - 1);
            EXPECT_EQ(w.state().PictureIndex, 3);
            EXPECT_TRUE(w.windowTitle().endsWith(last)) << w.windowTitle().toStdString();
        }
    }
}

// A name the file system would take but no one could type is refused, with
// the rename failure box.
TEST_F(SortingFlowTest, ControlCharactersInANewNameAreRefused)
{
    QTemporaryDir folder;
    makePictures(folder, {"a.png", "b.png"});
    ScriptedPrompter prompter;
    MainWindow w({folder.path()}, &prompter);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.viewer().state().settings.RenameMode = 0;
    QTimer::singleShot(0, [&] {
        QWidget *dlg = QApplication::activeModalWidget();
        ASSERT_TRUE(dlg);
        auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("Edit1"));
        ASSERT_TRUE(edit);
        edit->setText(QStringLiteral("ctl\x01x\ty"));
        QTest::keyClick(edit, Qt::Key_Return);
        if (dlg->isVisible())
            QTest::keyClick(dlg, Qt::Key_Escape);
    });
    press(&w, Qt::Key_F2);
    EXPECT_EQ(files(folder), (QStringList{"a.png", "b.png"}));
    EXPECT_EQ(prompter.errorCaptions, QStringList{QStringLiteral("エラー")});
}

// Files dropped onto the viewer are taken as a copy whatever the source
// proposed: a source that deletes after a move would lose them.
TEST_F(SortingFlowTest, DropsOntoTheViewerAreCopies)
{
    QTemporaryDir folder;
    makePictures(folder, {"a.png"});
    MainWindow w({});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(folder.filePath(QStringLiteral("a.png")))});
    const QPoint at(20, 20);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(&w, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(&w, &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("a.png"))));
    EXPECT_EQ(w.state().list.count(), 1);
}

// The help window takes the keyboard when it opens: Escape closes it and
// leaves the viewer running.
TEST_F(SortingFlowTest, EscapeAfterOpeningTheHelpClosesOnlyTheHelp)
{
    MainWindow w({});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    press(&w, Qt::Key_F1);
    QPointer<QDialog> help = w.findChild<QDialog *>();
    ASSERT_TRUE(help);
    QTest::qWait(100);
    // Escape goes where the window system sends keys: the active window.
    press(QApplication::activeWindow() ? QApplication::activeWindow() : &w, Qt::Key_Escape);
    QTest::qWait(50);
    EXPECT_FALSE(help && help->isVisible());
    EXPECT_TRUE(w.isVisible());
}

// Keys typed while a transfer button's caption is edited stay in the
// editor: Enter keeps the text, Escape brings the old caption back, arrows
// and paging move nothing in the viewer.
TEST_F(SortingFlowTest, KeysWhileEditingAButtonCaptionStayInTheEditor)
{
    QTemporaryDir folder, keep;
    makePictures(folder, {"a.png", "b.png", "c.png"});
    MainWindow w({folder.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.viewer().state().settings.TransferSlots[0].Folder = keep.path();
    w.viewer().state().settings.TransferSlots[0].Caption = QStringLiteral("old");
    w.toolBox().open();
    TToolBox *box = w.toolBox().window();
    ASSERT_TRUE(box);
    ToolBoxTransferArea *area = box->transferArea();
    ASSERT_TRUE(area);

    for (Qt::Key end : {Qt::Key_Escape, Qt::Key_Return}) {
        area->ButtonNameClick();
        QLineEdit *edit = area->captionEdit();
        ASSERT_TRUE(edit->isVisible());
        edit->setCursorPosition(0);
        for (Qt::Key k : {Qt::Key_Right, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Left})
            QTest::keyClick(edit, k);
        QTest::keyClicks(edit, QStringLiteral("ne"));
        EXPECT_EQ(edit->text(), QStringLiteral("neold"));
        QTest::keyClick(edit, end);
        EXPECT_FALSE(edit->isVisible());
        EXPECT_EQ(w.state().PictureIndex, 0);
        EXPECT_FALSE(w.state().FullScreen);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(w.state().settings.TransferSlots[0].Caption,
                  end == Qt::Key_Escape ? QStringLiteral("old") : QStringLiteral("neold"));
    }
}

// An undo after opening another folder puts the file back where it was,
// but never into the new folder's list.
TEST_F(SortingFlowTest, UndoAfterOpeningAnotherFolderLeavesTheNewListAlone)
{
    QTemporaryDir first, second, keep;
    makePictures(first, {"a.png", "b.png"});
    makePictures(second, {"c.png", "d.png"});
    MainWindow w({first.path()});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.viewer().state().settings.TransferSlots[0].Folder = keep.path();
    w.action(ActionId::MoveMode1)->trigger();
    press(&w, Qt::Key_0);
    ASSERT_TRUE(QFile::exists(keep.filePath(QStringLiteral("a.png"))));
    ASSERT_TRUE(w.action(ActionId::MoveUndo1)->isEnabled());
    w.viewer().open(w.viewer().listOps().openFolder(second.path()));
    EXPECT_TRUE(w.action(ActionId::MoveUndo1)->isEnabled());
    QTest::keyClick(w.focusWidget() ? w.focusWidget() : &w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(QFile::exists(keep.filePath(QStringLiteral("a.png"))));
    EXPECT_TRUE(QFile::exists(first.filePath(QStringLiteral("a.png"))));
    EXPECT_EQ(w.state().list.count(), 2);
    EXPECT_FALSE(w.state().list.items().contains(first.filePath(QStringLiteral("a.png"))));
}
