#include "fileops/ui/JournalDialog.h"

#include "../JournalDesk.h"
#include "fileops/FileGroup.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace journal_test;

TEST(JournalDialog, ListsNewestFirstAndUndoesDownToTheChosenEntry)
{
    PrivateTrash trash;
    QTemporaryDir app, root;
    const QString a = root.path() + "/a/", keep = root.path() + "/keep/";
    QDir().mkpath(a);
    QDir().mkpath(keep);
    for (const char *n : {"IMG_0042.JPG", "IMG_0042.CR2", "IMG_0043.JPG", "IMG_0044.JPG"})
        writeUnique(a + n);
    const Snapshot start = snapshot(root.path());
    FileOps ops;
    Journal journal(app.path());
    journal.load();
    JournalOps jops(journal, ops);
    ASSERT_TRUE(jops.move(PlanGroup(FileGroupOf(a + "IMG_0042.JPG"), keep, "IMG_0042.JPG")).ok());
    ASSERT_TRUE(jops.rename(PlanGroup({a + "IMG_0043.JPG"}, a, "trip.JPG")).ok());
    ASSERT_TRUE(jops.trash({a + "IMG_0044.JPG"}).ok());
    writeUnique(a + "IMG_0044.JPG", 9); // the trashed picture's name is taken again

    JournalDialog dialog(jops);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "操作履歴");
    QTreeWidget *list = dialog.list();
    ASSERT_EQ(list->topLevelItemCount(), 3);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "× 削除"); // can no longer be reversed
    EXPECT_FALSE(list->topLevelItem(0)->toolTip(1).isEmpty());
    EXPECT_EQ(list->topLevelItem(1)->text(3), "IMG_0043.JPG → trip.JPG");
    EXPECT_EQ(list->topLevelItem(2)->text(2), "IMG_0042.JPG ＋1"); // with its RAW
    EXPECT_EQ(dialog.undoButton()->text(), "ここまで元に戻す");
    if (const QString shots = qEnvironmentVariable("GD_SCREENSHOT_DIR"); !shots.isEmpty())
        dialog.grab().save(shots + "/journal-window.png");

    // Down to the move: stops at the trash, whose name is taken.
    QList<JournalStep> seen;
    QObject::connect(&dialog, &JournalDialog::stepsTaken, [&](const QList<JournalStep> &s) { seen = s; });
    list->setCurrentItem(list->topLevelItem(2));
    QTest::mouseClick(dialog.undoButton(), Qt::LeftButton);
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].status, JournalStep::Status::Blocked);
    EXPECT_TRUE(dialog.resultLabel()->text().startsWith("0 件"))
        << dialog.resultLabel()->text().toStdString();

    QFile::remove(a + "IMG_0044.JPG");
    dialog.refresh();
    list->setCurrentItem(list->topLevelItem(2));
    QTest::mouseClick(dialog.undoButton(), Qt::LeftButton);
    EXPECT_EQ(seen.size(), 3);
    EXPECT_EQ(snapshot(root.path()), start);
    EXPECT_TRUE(list->topLevelItem(0)->text(1).endsWith("（取り消し済み）"));
    list->setCurrentItem(list->topLevelItem(0));
    EXPECT_FALSE(dialog.undoButton()->isEnabled());
}
