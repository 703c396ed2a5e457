// The tally of pictures sent to each transfer folder in this run.
#include "fileops/SortTally.h"

#include "fileops/Journal.h"
#include "fileops/Transfer.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

TEST(SortTallyTest, CountsPerFolderHoweverItIsWrittenAndNeverBelowZero)
{
    SortTally t;
    t.sent(QStringLiteral("/p/keep"));
    t.sent(QStringLiteral("/p/keep/")); // the run-time picker's form
    t.sent(QStringLiteral("/p/rejects"));
    t.returned(QStringLiteral("/p/keep/"));
    t.returned(QStringLiteral("/p/other")); // never sent: nothing to take back
    t.returned(QStringLiteral("/p/rejects"));
    t.returned(QStringLiteral("/p/rejects"));
    EXPECT_EQ(t.count(QStringLiteral("/p/keep")), 1);
    EXPECT_EQ(t.count(QStringLiteral("/p/rejects")), 0);
    EXPECT_EQ(t.count(QStringLiteral("/p/other")), 0);
    t.sent({}); // a slot without folder sends nowhere
    // The buttons' folders in their order, zeros included, then folders
    // picked at run time that received pictures.
    t.sent(QStringLiteral("/q/picked/"));
    EXPECT_EQ(
        t.summary({QStringLiteral("/p/family"), QStringLiteral("/p/keep/"), QStringLiteral("/p/rejects")}),
        QStringLiteral("family 0 · keep 1 · rejects 0 · picked 1"));
    EXPECT_EQ(SortTally().summary({}), QString());
}

TEST(SortTallyTest, PlaceTextAndTheSlotsFolders)
{
    EXPECT_EQ(SortPlaceText(11, 60, QStringLiteral("keep 28")), QStringLiteral("[12/60]  keep 28"));
    EXPECT_EQ(SortPlaceText(0, 1, {}), QStringLiteral("[1/1]"));
    EXPECT_EQ(SortPlaceText(0, 0, QStringLiteral("keep 3")), QStringLiteral("keep 3"));
    EXPECT_EQ(SortPlaceText(0, 0, {}), QString());

    Settings s;
    s.Option.nButton = 3;
    s.TransferSlots[0].Folder = QStringLiteral("/p/keep");
    s.TransferSlots[1].Folder = kRunTimeFolder;
    s.TransferSlots[1].ChosenFolder = QStringLiteral("/q/picked/");
    s.TransferSlots[2].Folder = QStringLiteral("none");
    s.TransferSlots[3].Folder = QStringLiteral("/p/beyond"); // past the buttons in use
    EXPECT_EQ(SlotFolders(s), QStringList{QStringLiteral("/p/keep")});
    EXPECT_EQ(SlotDestination(s, 0), QStringLiteral("/p/keep"));
    EXPECT_EQ(SlotDestination(s, 1), QStringLiteral("/q/picked/"));
    EXPECT_EQ(SlotDestination(s, 10), QString());
}

// Undo and redo count by the journal entry they act on: copies and moves only.
TEST(SortTallyTest, TallyFolderOfJournalEntries)
{
    JournalEntry e;
    e.members.append(JournalMember{QStringLiteral("/p/a.jpg"), QStringLiteral("/p/keep/a.jpg"), {}, {}, {}});
    for (const auto &[kind, folder] :
         {std::pair{JournalKind::Move, QStringLiteral("/p/keep")},
          std::pair{JournalKind::Copy, QStringLiteral("/p/keep")}, std::pair{JournalKind::Rename, QString()},
          std::pair{JournalKind::Trash, QString()}}) {
        e.kind = kind;
        SortTally t;
        t.sent(TallyFolder(&e));
        EXPECT_EQ(t.count(QStringLiteral("/p/keep")), folder.isEmpty() ? 0 : 1) << int(kind);
    }
    EXPECT_EQ(TallyFolder(nullptr), QString());
}
