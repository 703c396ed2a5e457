// The tool box beside a real viewer: its height and transfer buttons, the
// slot menu and in-place captions, enabling by the list and the display
// form, the rename and order buttons, and reopening.
#include "ToolBoxSupport.h"
#include "fileops/Transfer.h"
#include "fileops/ui/ToolBoxGlyphs.h"
#include "platform/AppPaths.h"
#include "settings/IniFile.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

namespace
{
// Right click on a transfer button, then the item `item` of its menu.
// False when the menu did not open.
bool slotMenu(ToolBoxTransferArea *area, int slot, const char *item)
{
    QPushButton *b = area->button(slot);
    const QPoint at = b->rect().center();
    QContextMenuEvent ev(QContextMenuEvent::Mouse, at, b->mapToGlobal(at));
    QApplication::sendEvent(b, &ev);
    QMenu *menu = area->popupMenu();
    const bool shown = menu->isVisible();
    menu->hide();
    if (shown)
        named<QAction>(menu, item)->trigger();
    return shown;
}
} // namespace

TEST_F(ToolBoxFixture, TenSlotsGiveTheFullHeightAndNumberedButtons)
{
    makePictures(2);
    MainWindow w({pics_.path()});
    auto &s = w.viewer().state().settings;
    s.Option.nButton = 10;
    s.TransferSlots[0] = {pics_.path(), QStringLiteral("abcdefghijklmn"), {}};
    s.TransferSlots[1] = {pics_.path(), QStringLiteral("abcdefghijkl"), {}};
    w.show(); // Tool.Show is on by default
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(w.action(ActionId::ToolBox1)->isChecked());
    EXPECT_EQ(w.action(ActionId::ToolBox1)->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Tool Box"));
    // The page holds them all; on a first start the window may be shorter
    // (kept clear of the main window's menu bar) and then it scrolls.
    auto *scroll = box->findChild<QScrollArea *>(QStringLiteral("ToolBoxScroll"));
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll->widget()->size(), QSize(142, 629));
    EXPECT_EQ(box->width(), box->height() < 629 ? 142 + scroll->verticalScrollBar()->sizeHint().width() : 142)
        << box->screen()->geometry().height();

    ToolBoxTransferArea *area = box->transferArea();
    ASSERT_EQ(area->buttonCount(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(area->label(i)->text(), QStringLiteral("%1.").arg(i));
        EXPECT_EQ(area->button(i)->size(), QSize(110, 25));
        EXPECT_EQ(area->button(i)->mapTo(box, QPoint(0, 0)), QPoint(20, 350 + 24 * (i + 1) + 12));
    }
    EXPECT_EQ(shownCaption(box, 0), QStringLiteral("abcdefghijk")); // 14 characters show 11
    EXPECT_EQ(shownCaption(box, 1), QStringLiteral("abcdefghijkl"));
    EXPECT_EQ(area->button(0)->toolTip(), pics_.path());
    EXPECT_EQ(area->button(2)->text(), QStringLiteral("   none     ")); // never bound
    EXPECT_EQ(area->button(7)->text(), QStringLiteral("   none     ")); // beyond the stored count
    EXPECT_TRUE(area->button(7)->toolTip().isEmpty());

    // F3 closes it and opens it again.
    w.action(ActionId::ToolBox1)->trigger();
    EXPECT_EQ(toolBoxOf(w), nullptr);
    EXPECT_FALSE(w.action(ActionId::ToolBox1)->isChecked());
    w.action(ActionId::ToolBox1)->trigger();
    ASSERT_NE(toolBoxOf(w), nullptr);
    EXPECT_EQ(toolBoxOf(w)->transferArea()->buttonCount(), 10);
}

TEST_F(ToolBoxFixture, SlotMenuBindsAsksClearsAndEditsTheCaption)
{
    makePictures(2);
    QTemporaryDir targets;
    ASSERT_TRUE(QDir(targets.path()).mkdir(QStringLiteral("Cats")));
    const QString cats = targets.filePath(QStringLiteral("Cats"));
    ScriptedPrompter prompter;
    MainWindow w({pics_.path()}, &prompter);
    w.show();
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    ToolBoxTransferArea *area = box->transferArea();
    auto &slotTable = w.state().settings.TransferSlots;

    // "転送先": a folder picked for slot 2.
    prompter.folderAnswers << cats;
    ASSERT_TRUE(slotMenu(area, 2, "N1"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("画像転送先フォルダー指定 3"));
    EXPECT_EQ(slotTable[2].Folder, cats);
    EXPECT_EQ(slotTable[2].Caption, QStringLiteral("Cats"));
    EXPECT_EQ(shownCaption(box, 2), QStringLiteral("Cats"));
    EXPECT_EQ(area->button(2)->toolTip(), cats);
    // Picking again starts in the bound folder; cancelling changes nothing.
    ASSERT_TRUE(slotMenu(area, 2, "N1"));
    EXPECT_EQ(prompter.folderStarts.last(), cats);
    EXPECT_EQ(slotTable[2].Folder, cats);

    // "転送先→実行時選択" and "転送先 消去".
    ASSERT_TRUE(slotMenu(area, 3, "N4"));
    EXPECT_EQ(slotTable[3].Folder, kRunTimeFolder);
    EXPECT_EQ(area->button(3)->text(), QStringLiteral("AnyWhere  "));
    EXPECT_TRUE(area->button(3)->font().bold());
    EXPECT_FALSE(area->button(2)->font().bold());
    // Pressed, it asks for the folder under the tool box's new title.
    area->button(3)->click();
    EXPECT_EQ(prompter.folderStarts.size(), 3);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("転送先フォルダ設定"));
    ASSERT_TRUE(slotMenu(area, 2, "N2"));
    EXPECT_EQ(slotTable[2].Folder, QString());
    EXPECT_EQ(slotTable[2].Caption, QStringLiteral("none"));
    EXPECT_EQ(area->button(2)->text(), QStringLiteral("   none     "));

    // "表示名": the caption is edited over the button.
    ASSERT_TRUE(slotMenu(area, 3, "N3"));
    QLineEdit *edit = area->captionEdit();
    ASSERT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), QStringLiteral("AnyWhere"));
    EXPECT_EQ(edit->geometry(), area->button(3)->geometry().adjusted(3, 2, -1, -2));
    // While editing, a right click opens no menu and picks no slot.
    EXPECT_FALSE(slotMenu(area, 0, "N2"));
    EXPECT_EQ(area->SlotIndex(), 3);
    edit->clear();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(slotTable[3].Caption, QStringLiteral("none"));
    EXPECT_EQ(shownCaption(box, 3), QStringLiteral("none"));
    EXPECT_EQ(slotTable[3].Folder, kRunTimeFolder);

    // A long text keeps 12 characters; a click on a number ends the editing.
    ASSERT_TRUE(slotMenu(area, 1, "N3"));
    edit->setText(QStringLiteral("A very long caption"));
    QTest::mouseClick(area->label(0), Qt::LeftButton);
    EXPECT_FALSE(edit->isVisible());
    EXPECT_EQ(slotTable[1].Caption, QStringLiteral("A very long "));
}

TEST_F(ToolBoxFixture, ControlsFollowTheListAndTheDisplayForm)
{
    makePictures(1);
    MainWindow w({pics_.path()});
    w.show();
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    auto enabled = [&](const char *name) { return named<QWidget>(box, name)->isEnabled(); };
    // One picture: nothing to step through, but it can be deleted or renamed.
    for (const char *name : {"BackBtn", "FrontBtn", "AutoBtn", "TrackBar"})
        EXPECT_FALSE(enabled(name)) << name;
    for (const char *name : {"DeleteBtn", "fNameBtn", "BtnDoor"})
        EXPECT_TRUE(enabled(name)) << name;

    // Three pictures: the slider spans the list and follows the picture.
    makePictures(3);
    w.viewer().open(w.viewer().listOps().openFolder(pics_.path()));
    auto *slider = named<QSlider>(box, "TrackBar");
    EXPECT_TRUE(slider->isEnabled());
    EXPECT_EQ(slider->maximum(), 2);
    EXPECT_EQ(slider->tickInterval(), 1);
    QTest::keyClick(&w, Qt::Key_Right);
    EXPECT_EQ(slider->value(), 1);
    slider->setValue(2);
    EXPECT_EQ(w.state().PictureIndex, 2);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("グリマーデック -- [3/3] ") + pic(2));

    // A spread stops the file operations and shuts the transfer area;
    // single pages bring them back, the area stays shut.
    named<QRadioButton>(box, "rgState_1")->click();
    EXPECT_EQ(w.state().settings.Tool.State, 1);
    EXPECT_TRUE(enabled("rgOrient"));
    for (const char *name : {"DeleteBtn", "fNameBtn", "BtnDoor"})
        EXPECT_FALSE(enabled(name)) << name;
    EXPECT_FALSE(w.state().settings.Option.Open);
    EXPECT_EQ(box->height(), 350);
    EXPECT_FALSE(w.action(ActionId::Transfer1)->isEnabled());
    EXPECT_EQ(w.action(ActionId::Transfer1)->text(), QStringLiteral("転送不可"));
    named<QRadioButton>(box, "rgState_0")->click();
    EXPECT_FALSE(enabled("rgOrient"));
    for (const char *name : {"DeleteBtn", "fNameBtn", "BtnDoor"})
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_EQ(box->height(), 350);
}

// The rename button in random order: the list goes to name order first, so
// the renaming starts at the first picture, and the order button says so.
TEST_F(ToolBoxFixture, RenameButtonPutsTheListInNameOrderFirst)
{
    makePictures(4);
    MainWindow w({pics_.path()});
    w.show();
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    auto *order = named<QToolButton>(box, "Button1");
    EXPECT_EQ(order->text(), QStringLiteral("正順"));
    w.action(ActionId::menu_random)->trigger();
    EXPECT_EQ(order->text(), QStringLiteral("ランダム"));
    QTest::keyClick(&w, Qt::Key_Right);

    QString title, orderShown, first;
    int index = -1;
    QTimer::singleShot(0, [&] {
        if (QWidget *dlg = QApplication::activeModalWidget()) {
            title = dlg->windowTitle();
            orderShown = order->text();
            index = w.state().PictureIndex;
            first = w.state().list.at(0);
            QTest::keyClick(dlg, Qt::Key_Escape);
        }
    });
    named<QToolButton>(box, "fNameBtn")->click();
    EXPECT_EQ(title, QStringLiteral("画像ファイル名変更"));
    EXPECT_EQ(orderShown, QStringLiteral("正順"));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(first, pic(0));
    EXPECT_EQ(w.state().SortOrder, PlayOrder::Name);

    // Its drop-down chooses the rename mode, and the button shows it.
    auto *rename = named<QToolButton>(box, "fNameBtn");
    EXPECT_EQ(rename->text(), QStringLiteral("ファイル名変更"));
    QTimer::singleShot(0, [] {
        if (QWidget *dlg = QApplication::activeModalWidget())
            QTest::keyClick(dlg, Qt::Key_Escape);
    });
    named<QAction>(rename->menu(), "N2")->trigger();
    EXPECT_EQ(w.state().settings.RenameMode, 1);
    EXPECT_EQ(rename->text(), QStringLiteral("連番変更"));
}

TEST_F(ToolBoxFixture, ReopenedWithTheAreaClosedItIsCutAtTheDivider)
{
    makePictures(2);
    MainWindow w({pics_.path()});
    w.show();
    TToolBox *box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->height(), 350 + 24 * 5 + 39);

    named<QToolButton>(box, "BtnDoor")->click();
    EXPECT_FALSE(w.state().settings.Option.Open);
    EXPECT_EQ(box->height(), 350);
    EXPECT_EQ(w.action(ActionId::Transfer1)->text(), QStringLiteral("転送不可"));
    box->move(300, 200);
    box->close();
    EXPECT_EQ(toolBoxOf(w), nullptr);
    EXPECT_EQ(w.state().settings.Tool.Left, 300);
    EXPECT_EQ(w.state().settings.Tool.Top, 200);

    w.action(ActionId::ToolBox1)->trigger();
    box = toolBoxOf(w);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->height(), 350);
    EXPECT_EQ(box->pos(), QPoint(300, 200));
    // The main window's transfer switch opens the area again.
    w.action(ActionId::Transfer1)->trigger();
    EXPECT_EQ(box->height(), 509);

    // Closing the viewer keeps where the tool box was and that it was open.
    box->move(310, 210);
    w.close();
    IniFile ini(AppPaths::settingsPath());
    ASSERT_TRUE(ini.load());
    EXPECT_EQ(ini.value(QStringLiteral("Tool"), QStringLiteral("Show"), {}), QStringLiteral("1"));
    EXPECT_EQ(ini.value(QStringLiteral("Tool"), QStringLiteral("Left"), {}), QStringLiteral("310"));
    EXPECT_EQ(ini.value(QStringLiteral("Tool"), QStringLiteral("Top"), {}), QStringLiteral("210"));
}

TEST_F(ToolBoxFixture, StaysClosedAtStartWhenItWasClosed)
{
    makePictures(1);
    {
        MainWindow w({pics_.path(), QStringLiteral("/Box=off")});
        w.show();
        EXPECT_EQ(toolBoxOf(w), nullptr);
        EXPECT_FALSE(w.action(ActionId::ToolBox1)->isChecked());
        w.close();
    }
    IniFile ini(AppPaths::settingsPath());
    ASSERT_TRUE(ini.load());
    EXPECT_EQ(ini.value(QStringLiteral("Tool"), QStringLiteral("Show"), {}), QStringLiteral("0"));
    MainWindow again({pics_.path()});
    again.show();
    EXPECT_EQ(toolBoxOf(again), nullptr);
}

TEST(ToolBoxGlyphs, EveryGlyphIsBuiltInAndSharpAtDoubleScale)
{
    for (const char *name : {"back", "front", "door", "delete", "undo", "dragout", "folder", "tree", "rename",
                             "order-random", "order-name", "order-reverse", "order-date"}) {
        const QString n = QString::fromLatin1(name);
        ASSERT_TRUE(HasToolBoxGlyph(n)) << name;
        const QIcon light = ToolBoxGlyph(n, Qt::black);
        const QPixmap px = light.pixmap(QSize(16, 16), 2.0);
        EXPECT_EQ(px.size(), QSize(32, 32)) << name;
        const QImage dark = ToolBoxGlyph(n, Qt::white).pixmap(QSize(16, 16), 2.0).toImage();
        EXPECT_NE(px.toImage(), dark) << name << ": the outline follows the text colour";
    }
    EXPECT_TRUE(ToolBoxGlyph(QStringLiteral("no-such"), Qt::black).isNull());
}
