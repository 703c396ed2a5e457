#include "lists/ui/HistoryMenu.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(HistoryMenu, FollowsTheEntriesPresent)
{
    QMenu menu;
    QAction list1, listDel1;
    HistoryMenu history(&menu, &list1, &listDel1);
    ASSERT_EQ(menu.actions().size(), 6);
    EXPECT_FALSE(list1.isEnabled());
    EXPECT_FALSE(listDel1.isVisible());
    for (int slot = 1; slot <= 6; ++slot) {
        EXPECT_EQ(history.action(slot)->objectName(), QStringLiteral("gd%1").arg(slot));
        EXPECT_FALSE(history.action(slot)->isVisible());
    }

    history.apply({"/pics/", "/R&D/写真/"});
    EXPECT_TRUE(list1.isEnabled());
    EXPECT_TRUE(listDel1.isVisible());
    EXPECT_EQ(history.action(1)->text(), "/pics/");
    EXPECT_EQ(history.action(2)->text(), "/R&&D/写真/"); // '&' shown, not a mnemonic
    EXPECT_EQ(history.action(2)->shortcut(), QKeySequence("Ctrl+2"));
    EXPECT_FALSE(history.action(3)->isVisible());
    EXPECT_TRUE(history.action(3)->shortcut().isEmpty());

    QSignalSpy chosen(&history, &HistoryMenu::entryChosen);
    history.action(2)->trigger();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toInt(), 2);

    history.apply({});
    EXPECT_FALSE(list1.isEnabled());
    EXPECT_FALSE(listDel1.isVisible());
    EXPECT_FALSE(history.action(1)->isVisible());
}
