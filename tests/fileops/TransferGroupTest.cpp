// A picture with its RAW and sidecars is sent, trashed, undone and redone as
// one; a clash on any member is the group's clash.
#include "TransferDesk.h"

using namespace transfer_test;

namespace
{
// "IMG_1.JPG" in the list with "IMG_1.CR2" and "IMG_1.CR2.xmp" beside it.
QStringList pictureWithCompanions(Desk &d)
{
    const QString jpg = d.picture("IMG_1.JPG");
    d.file(d.src + "/IMG_1.CR2");
    d.file(d.src + "/IMG_1.CR2.xmp");
    d.picture("IMG_2.JPG");
    d.index = 0;
    return {jpg, d.src + "/IMG_1.CR2", d.src + "/IMG_1.CR2.xmp"};
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}
} // namespace

TEST(TransferGroup, MoveCopyAndTrashTakeTheCompanionsAndUndoBringsThemBack)
{
    const QStringList group = {"IMG_1.CR2", "IMG_1.CR2.xmp", "IMG_1.JPG"};
    struct Case {
        const char *what;
        bool copy;
        bool trash;
    };
    for (const Case &c : {Case{"move", false, false}, Case{"copy", true, false}, Case{"trash", false, true}}) {
        SCOPED_TRACE(c.what);
        Desk d(c.copy);
        pictureWithCompanions(d);
        d.prompter.answer = true;
        const TransferResult r = c.trash ? d.transfer.fDelete() : d.transfer.ArBitBtnProcess(0);
        EXPECT_EQ(r, c.trash ? TransferResult::Deleted : c.copy ? TransferResult::Copied : TransferResult::Moved);
        if (c.trash)
            EXPECT_EQ(namesIn(d.trash).size(), 3);
        else
            EXPECT_EQ(namesIn(d.dst), group);
        EXPECT_EQ(namesIn(d.src), c.copy ? group + QStringList{"IMG_2.JPG"} : QStringList{"IMG_2.JPG"});
        if (c.copy)
            for (const QString &n : group)
                d.copied(d.src + "/" + n);
        d.expectFilesIntact();

        EXPECT_EQ(d.transfer.revival(), TransferResult::Restored);
        EXPECT_EQ(namesIn(d.src), group + QStringList{"IMG_2.JPG"});
        EXPECT_TRUE(namesIn(d.dst).isEmpty());
        // The list shows the picture once, never its RAW.
        EXPECT_EQ(d.names(), QStringList({"IMG_1.JPG", "IMG_2.JPG"}));
        d.expectFilesIntact(); // undone copies wait in the trash
    }
}

TEST(TransferGroup, AClashOnACompanionIsTheGroupsClash)
{
    // Numbering gives every member the same, first number free for all.
    {
        Desk d(false);
        pictureWithCompanions(d);
        d.file(d.dst + "/IMG_1.CR2");     // only the RAW's name is taken
        d.file(d.dst + "/IMG_1[001].JPG"); // and the picture's first numbered one
        d.settings.Option.Numbering = true;
        EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
        for (const QString n : {"IMG_1[002].JPG", "IMG_1[002].CR2", "IMG_1[002].CR2.xmp"})
            EXPECT_TRUE(QFileInfo::exists(d.dst + "/" + n)) << n.toStdString();
        d.expectFilesIntact();
    }
    // The dialog compares the clashing member; cancelling moves nothing.
    {
        Desk d(false);
        const QStringList members = pictureWithCompanions(d);
        d.file(d.dst + "/IMG_1.CR2.xmp");
        d.prompter.sameAnswers = {SameNameChoice::Cancel};
        EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Cancelled);
        ASSERT_EQ(d.prompter.compared.size(), 1);
        EXPECT_EQ(d.prompter.compared[0].first, members[2]);
        EXPECT_EQ(d.prompter.compared[0].second, d.dst + "/IMG_1.CR2.xmp");
        EXPECT_EQ(namesIn(d.src).size(), 4);
        d.expectFilesIntact();
    }
    // With groups switched off the picture goes alone.
    {
        Desk d(false);
        pictureWithCompanions(d);
        d.settings.Option.Companions = false;
        d.file(d.dst + "/IMG_1.CR2");
        EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Moved);
        EXPECT_EQ(namesIn(d.src), QStringList({"IMG_1.CR2", "IMG_1.CR2.xmp", "IMG_2.JPG"}));
        d.expectFilesIntact();
    }
}

TEST(TransferGroup, AMemberThatFailsPutsTheOthersBack)
{
    Desk d(false);
    pictureWithCompanions(d);
    int moves = 0;
    // The second member refuses; putting the first back works.
    d.ops.beforeWrite = [&] { d.ops.moveFails = ++moves == 2 ? FileOpResult::PermissionDenied : FileOpResult::Ok; };
    EXPECT_EQ(d.transfer.ArBitBtnProcess(0), TransferResult::Failed);
    d.ops.moveFails = FileOpResult::Ok;
    d.ops.beforeWrite = {};
    EXPECT_EQ(namesIn(d.src).size(), 4);
    EXPECT_TRUE(namesIn(d.dst).isEmpty());
    ASSERT_EQ(d.prompter.errors.size(), 1);
    EXPECT_TRUE(d.prompter.errors[0].startsWith(kMoveFailed));
    EXPECT_EQ(d.names(), QStringList({"IMG_1.JPG", "IMG_2.JPG"}));
    EXPECT_FALSE(d.transfer.canUndo());
    d.expectFilesIntact();
}
