#include "fileops/FileGroup.h"

#include "JournalDesk.h"
#include "common/PathUtil.h"
#include "fileops/GroupOps.h"

#include <gtest/gtest.h>

using namespace journal_test;

TEST(FileGroup, CompanionsOfAPicture)
{
    const QStringList folder = {"IMG_1.JPG", "IMG_1.CR2",  "IMG_1.cr2.xmp", "IMG_1.xmp", "IMG_1.JPG.xmp",
                                "IMG_1.THM", "IMG_1.pp3",  "IMG_1.dop",     "IMG_1.aae", "IMG_1.nef",
                                "IMG_1.png", "IMG_10.CR2", "img_1.CR2",     "IMG_1.txt", "IMG_1.txt.xmp",
                                "IMG_1.X3F", "IMG_1.3fr"};
    struct Case {
        QString picture;
        QStringList companions;
    } cases[] = {
        {"IMG_1.JPG",
         {"IMG_1.CR2", "IMG_1.cr2.xmp", "IMG_1.xmp", "IMG_1.JPG.xmp", "IMG_1.THM", "IMG_1.pp3", "IMG_1.dop",
          "IMG_1.aae", "IMG_1.nef", "IMG_1.X3F", "IMG_1.3fr"}},
        // A RAW standing alone brings only its sidecars.
        {"IMG_1.CR2", {"IMG_1.cr2.xmp", "IMG_1.xmp", "IMG_1.THM", "IMG_1.pp3", "IMG_1.dop", "IMG_1.aae"}},
        {"IMG_10.CR2", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CompanionsAmong(c.picture, folder).join(' ').toStdString(),
                  c.companions.join(' ').toStdString());
}

TEST(FileGroup, HidesCompanionsOnlyWhileTheirPictureIsListed)
{
    const QStringList listed = {"/a/IMG_1.JPG", "/a/IMG_1.CR2", "/a/IMG_2.CR2", "/a/IMG_2.CR2.xmp",
                                "/b/IMG_1.CR2", "/a/IMG_3.dng", "/a/IMG_3.PNG", "/a/x.xmp"};
    EXPECT_EQ(HideCompanions(listed),
              (QStringList{"/a/IMG_1.JPG", "/a/IMG_2.CR2", "/b/IMG_1.CR2", "/a/IMG_3.PNG", "/a/x.xmp"}))
        << HideCompanions(listed).join(' ').toStdString();
}

TEST(FileGroup, RenamingGivesEveryMemberTheNewBase)
{
    EXPECT_EQ(RenamedMembers({"IMG_1.JPG", "IMG_1.CR2", "IMG_1.CR2.xmp", "IMG_1.JPG.xmp", "IMG_1.xmp"},
                             "trip.jpeg"),
              (QStringList{"trip.jpeg", "trip.CR2", "trip.CR2.xmp", "trip.jpeg.xmp", "trip.xmp"}));
    EXPECT_EQ(RenamedMembers({"a.b.JPG", "a.b.CR2"}, "c.JPG"), (QStringList{"c.JPG", "c.CR2"}));
}

struct GroupOpsTest : ::testing::Test {
    PrivateTrash trash;
    QTemporaryDir root;
    QString a = root.path() + "/a/", b = root.path() + "/b/";
    FlakyOps ops;
    QStringList group;
    Snapshot before;
    void SetUp() override
    {
        QDir().mkpath(a);
        QDir().mkpath(b);
        for (const char *n : {"P.JPG", "P.CR2", "P.CR2.xmp", "P.xmp", "Q.JPG"})
            writeUnique(a + n);
        group = FileGroupOf(a + "P.JPG");
        before = snapshot(root.path());
    }
};

TEST_F(GroupOpsTest, FindsTheGroupOnDisk)
{
    EXPECT_EQ(group, (QStringList{a + "P.JPG", a + "P.CR2", a + "P.CR2.xmp", a + "P.xmp"}));
    EXPECT_EQ(GroupFor(a + "P.JPG", false), QStringList{a + "P.JPG"});
}

TEST_F(GroupOpsTest, AFailingMemberPutsTheOthersBack)
{
    for (int failAt = 1; failAt <= 4; ++failAt) {
        for (int kind = 0; kind < 3; ++kind) {
            ops.calls = 0;
            ops.failAt = failAt;
            const GroupPlan plan = kind == 2 ? PlanGroup(group, a, "R.JPG") : PlanGroup(group, b, "P.JPG");
            const GroupOutcome g = kind == 0   ? MoveGroup(ops, plan)
                                   : kind == 1 ? CopyGroup(ops, plan)
                                               : RenameGroup(ops, plan);
            EXPECT_FALSE(g.ok());
            EXPECT_EQ(g.failedMember, group[failAt - 1]);
            EXPECT_TRUE(g.notPutBack.isEmpty());
            EXPECT_TRUE(DescribeGroupFailure(g).startsWith(FileNamePart(group[failAt - 1])));
            EXPECT_EQ(snapshot(root.path()), before) << failAt << " " << kind;
        }
        ops.calls = 0;
        const GroupOutcome t = TrashGroup(ops, group);
        EXPECT_FALSE(t.ok());
        EXPECT_EQ(snapshot(root.path()), before) << "trash " << failAt;
    }
}

TEST_F(GroupOpsTest, AClashingMemberStopsTheGroupBeforeAnythingMoves)
{
    writeUnique(b + "P.CR2.xmp");
    before = snapshot(root.path());
    const GroupPlan plan = PlanGroup(group, b, "P.JPG");
    EXPECT_EQ(FirstClash(plan), 2);
    const GroupOutcome g = MoveGroup(ops, plan);
    EXPECT_EQ(g.outcome.result, FileOpResult::TargetExists);
    EXPECT_EQ(g.failedMember, a + "P.CR2.xmp");
    EXPECT_EQ(g.failedTarget, b + "P.CR2.xmp");
    EXPECT_EQ(snapshot(root.path()), before);

    // Numbering gives every member the same number, skipping any taken one.
    writeUnique(b + "P[001].xmp");
    int waits = 0;
    const int n = FreeGroupNumber(group, b, 100, [&] { ++waits; });
    EXPECT_EQ(n, 2);
    EXPECT_EQ(waits, 2);
    EXPECT_EQ(FreeGroupNumber(group, b, 1), 0); // the limit reached
    ASSERT_TRUE(MoveGroup(ops, NumberedPlan(group, b, n)).ok());
    for (const char *name : {"P[002].JPG", "P[002].CR2", "P[002].CR2.xmp", "P[002].xmp"})
        EXPECT_TRUE(QFile::exists(b + name)) << name;
}

TEST_F(GroupOpsTest, TrashAndRestoreTheWholeGroup)
{
    const GroupOutcome t = TrashGroup(ops, group);
    ASSERT_TRUE(t.ok());
    ASSERT_EQ(t.trashed.size(), group.size());
    for (const TrashedFile &f : t.trashed) {
        EXPECT_TRUE(QFile::exists(f.trashedPath));
        EXPECT_TRUE(QFile::exists(f.infoPath)) << f.infoPath.toStdString();
    }
    // One name taken meanwhile: nothing comes back, nothing is replaced.
    writeUnique(a + "P.xmp", 10);
    const Snapshot blocked = snapshot(root.path());
    EXPECT_EQ(RestoreGroup(ops, t.trashed).outcome.result, FileOpResult::TargetExists);
    EXPECT_EQ(snapshot(root.path()), blocked);
    QFile::remove(a + "P.xmp");
    ASSERT_TRUE(RestoreGroup(ops, t.trashed).ok());
    EXPECT_EQ(snapshot(root.path()), before);
    for (const TrashedFile &f : t.trashed)
        EXPECT_FALSE(QFile::exists(f.infoPath));
}
