// What the tool box's buttons do in the viewer: transfers as the digit keys
// do them, folders dropped on buttons, switches and modes that agree with
// the menus, keys typed in the tool box, the pointer over it.
#include "ToolBoxSupport.h"
#include "app/ui/DisplaySurface.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QDir>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QUrl>

namespace
{
// What a move through slot 1 and its undo left behind.
struct Outcome {
    QStringList moved, left, list;
    int index = -1;
    QString title;
    bool undoEnabled = false, undoButtonEnabled = false;
    QStringList afterUndo, notices;
    int countAfterUndo = 0;

    bool operator==(const Outcome &) const = default;
};

QStringList names(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files, QDir::Name);
}

void PrintTo(const Outcome &o, std::ostream *os)
{
    *os << o.moved.join(',').toStdString() << " | " << o.list.join(',').toStdString() << " | " << o.index
        << " | " << o.title.toStdString() << " | " << o.notices.join(',').toStdString();
}
} // namespace

class ToolBoxTransfer : public ToolBoxFixture
{
protected:
    Outcome moveThroughSlot1(bool byButton)
    {
        QTemporaryDir pics, target;
        makePictures(3, pics.path());
        ScriptedPrompter prompter;
        MainWindow w({pics.path()}, &prompter);
        w.viewer().state().settings.TransferSlots[1] = {target.path(), QStringLiteral("T"), {}};
        showActive(w);
        TToolBox *box = toolBoxOf(w);
        EXPECT_NE(box, nullptr);
        auto *undoButton = named<QToolButton>(box, "TurnbackBtn");
        w.action(ActionId::MoveMode1)->trigger();
        QTest::keyClick(&w, Qt::Key_Right);
        if (byButton)
            box->transferArea()->button(1)->click();
        else
            QTest::keyClick(&w, Qt::Key_1);

        Outcome o;
        o.moved = names(target.path());
        o.left = names(pics.path());
        for (const QString &p : w.state().list.items())
            o.list << QFileInfo(p).fileName();
        o.index = w.state().PictureIndex;
        o.title = w.windowTitle().replace(pics.path(), QStringLiteral("<pics>"));
        o.undoEnabled = w.action(ActionId::MoveUndo1)->isEnabled();
        o.undoButtonEnabled = undoButton->isEnabled();
        if (byButton)
            undoButton->click();
        else
            QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        o.afterUndo = names(pics.path());
        o.countAfterUndo = w.state().list.count();
        o.notices = prompter.notices;
        return o;
    }
};

TEST_F(ToolBoxTransfer, ButtonMovesThePictureExactlyAsTheDigitKey)
{
    const Outcome byKey = moveThroughSlot1(false);
    const Outcome byButton = moveThroughSlot1(true);
    EXPECT_EQ(byButton, byKey);
    // And what that is: the second picture moved, the third on screen.
    EXPECT_EQ(byButton.moved, QStringList{QStringLiteral("p1.png")});
    EXPECT_EQ(byButton.list, (QStringList{QStringLiteral("p0.png"), QStringLiteral("p2.png")}));
    EXPECT_EQ(byButton.title, QStringLiteral("グリマーデック -- [2/2] <pics>/p2.png"));
    EXPECT_TRUE(byButton.undoButtonEnabled);
    EXPECT_EQ(byButton.afterUndo.size(), 3);
    EXPECT_EQ(byButton.countAfterUndo, 3);
    EXPECT_EQ(byButton.notices,
              (QStringList{QStringLiteral("移動 完了 ！"), QStringLiteral("復活 完了 ！")}));
}

TEST_F(ToolBoxFixture, DroppedFolderBindsTheButtonUnderItAndAFileIsRefused)
{
    makePictures(1);
    QTemporaryDir drops;
    QDir(drops.path()).mkdir(QStringLiteral("First"));
    QDir(drops.path()).mkdir(QStringLiteral("Second"));
    const QString first = drops.filePath(QStringLiteral("First"));
    const QString second = drops.filePath(QStringLiteral("Second"));
    ScriptedPrompter prompter;
    MainWindow w({pics_.path()}, &prompter);
    w.show();
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    ToolBoxTransferArea *area = box->transferArea();
    auto &slotTable = w.state().settings.TransferSlots;
    auto drop = [&](const QStringList &paths, QWidget *onto) {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString &p : paths)
            urls << QUrl::fromLocalFile(p);
        mime.setUrls(urls);
        const QPoint at = onto->mapTo(box, onto->rect().center());
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &dropped);
    };

    drop({first, second}, area->button(1));
    EXPECT_EQ(slotTable[1].Folder, first);
    EXPECT_EQ(slotTable[1].Caption, QStringLiteral("First"));
    EXPECT_EQ(shownCaption(box, 1), QStringLiteral("First"));
    EXPECT_EQ(slotTable[0].Folder, QStringLiteral("none"));
    EXPECT_EQ(slotTable[2].Folder, QStringLiteral("none"));
    // A folder dropped beside the buttons binds nothing.
    drop({second}, named<QSlider>(box, "TrackBar"));
    EXPECT_EQ(slotTable[1].Folder, first);
    EXPECT_EQ(prompter.beeps, 0);

    drop({pic(0), second}, area->button(2));
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_EQ(prompter.errors,
              QStringList{QStringLiteral("ボタンに、フォルダをドラッグ＆ドロップしてください。")});
    EXPECT_EQ(prompter.errorCaptions, QStringList{QStringLiteral("エラー")});
    EXPECT_EQ(slotTable[2].Folder, QStringLiteral("none"));
}

TEST_F(ToolBoxFixture, SwitchesAndModesAgreeWithTheMenus)
{
    makePictures(3);
    MainWindow w({pics_.path()});
    w.show();
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    auto &s = w.state().settings;

    named<QCheckBox>(box, "CheckBox1")->click();
    EXPECT_TRUE(s.Option.Zoom);
    named<QCheckBox>(box, "CheckBox3")->click();
    EXPECT_FALSE(w.state().AutoRotate);

    // Full screen from the tool box, back from the menu: the box follows.
    auto *full = named<QCheckBox>(box, "CheckBox2");
    full->click();
    EXPECT_TRUE(w.state().FullScreen);
    EXPECT_TRUE(w.action(ActionId::Max1)->isChecked());
    EXPECT_NE(w.fullScreenWindow(), nullptr);
    EXPECT_TRUE(box->isVisible());
    w.action(ActionId::Max1)->trigger();
    EXPECT_FALSE(full->isChecked());
    EXPECT_EQ(w.fullScreenWindow(), nullptr);

    // Copy or move, from either side.
    auto *copy = named<QToolButton>(box, "BtnCopy");
    auto *move = named<QToolButton>(box, "BtnMove");
    EXPECT_TRUE(copy->isChecked());
    w.action(ActionId::MoveMode1)->trigger();
    EXPECT_TRUE(move->isChecked());
    EXPECT_FALSE(copy->isChecked());
    copy->click();
    EXPECT_TRUE(s.Option.Copy);
    EXPECT_TRUE(w.action(ActionId::CopyMode1)->isChecked());

    // The order: the main window's actions and the tool box's own menu.
    auto *order = named<QToolButton>(box, "Button1");
    w.action(ActionId::menu_reverse)->trigger();
    EXPECT_EQ(order->text(), QStringLiteral("逆順"));
    EXPECT_EQ(w.state().list.at(0), pic(2));
    named<QAction>(named<QMenu>(box, "PopupMenu2"), "N5")->trigger();
    EXPECT_EQ(w.state().SortOrder, PlayOrder::Date);
    EXPECT_EQ(order->text(), QStringLiteral("日時順"));

    // The slideshow from the Auto button stops the file operations, also
    // when a switch is changed meanwhile; stopping it brings them back.
    named<QToolButton>(box, "AutoBtn")->click();
    EXPECT_TRUE(w.action(ActionId::slideshow1)->isChecked());
    EXPECT_EQ(box->height(), 350);
    named<QCheckBox>(box, "CheckBox1")->click();
    EXPECT_FALSE(named<QWidget>(box, "DeleteBtn")->isEnabled());
    EXPECT_FALSE(w.action(ActionId::Transfer1)->isEnabled());
    named<QToolButton>(box, "AutoBtn")->click();
    EXPECT_FALSE(w.action(ActionId::slideshow1)->isChecked());
    EXPECT_TRUE(named<QWidget>(box, "DeleteBtn")->isEnabled());

    // The right button on Auto opens the options.
    int options = 0;
    w.viewer().commands().setRun(ActionId::option1, [&] { ++options; });
    w.commandsChanged();
    QTest::mouseClick(named<QToolButton>(box, "AutoBtn"), Qt::RightButton);
    EXPECT_EQ(options, 1);
    EXPECT_FALSE(w.action(ActionId::slideshow1)->isChecked());

    // Display direction, in a spread.
    named<QRadioButton>(box, "rgState_2")->click();
    named<QRadioButton>(box, "rgOrient_1")->click();
    EXPECT_EQ(s.Tool.State, 2);
    EXPECT_EQ(s.Tool.Orient, 1);
    EXPECT_FALSE(w.action(ActionId::clipcopy1)->isEnabled());
}

TEST_F(ToolBoxFixture, KeysTypedInTheToolBoxActOnTheViewerAndThePointerComesBack)
{
    makePictures(3);
    MainWindow w({pics_.path()});
    showActive(w);
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    QTest::keyClick(named<QCheckBox>(box, "CheckBox1"), Qt::Key_Right);
    EXPECT_EQ(w.state().PictureIndex, 1);
    QTest::keyClick(box->transferArea()->button(0), Qt::Key_Left);
    EXPECT_EQ(w.state().PictureIndex, 0);
    named<QToolButton>(box, "FrontBtn")->click();
    EXPECT_EQ(w.state().PictureIndex, 1);
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget *>(w.surface()));

    // Full screen hid the pointer; over the tool box it is back.
    QGuiApplication::setOverrideCursor(Qt::BlankCursor);
    QWidget *slider = named<QSlider>(box, "TrackBar");
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), slider->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(slider, &move);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    QGuiApplication::restoreOverrideCursor();
}
