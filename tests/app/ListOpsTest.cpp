#include "app/ListOps.h"

#include "ListRecorders.h"
#include "decode/FormatModule.h"
#include "platform/FileTree.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zip.h>

namespace
{
const QString kFilter = QStringLiteral("Pictures (*.gif;*.jpg;*.jpeg;*.png;*.bmp)");

// Writes a zip holding `entries` (name -> content) with libzip.
void makeZip(const QString &path, const QList<QPair<QString, QByteArray>> &entries)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(z, nullptr);
    for (const auto &[name, data] : entries) {
        zip_source_t *src = zip_source_buffer(z, data.constData(), zip_uint64_t(data.size()), 0);
        ASSERT_GE(zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

struct ListOpsTest : ::testing::Test {
    QTemporaryDir dir, temp;
    ViewerState st;
    RecordingPrompter prompter;
    ListOps ops{st, prompter};
    QString d;
    void SetUp() override
    {
        d = dir.path() + "/";
        st.PictureFilter = kFilter;
        st.TempFolder = temp.path() + "/picture";
    }
    QStringList names() const
    {
        QStringList out;
        for (const QString &p : st.list.items())
            out << p.mid(p.lastIndexOf('/') + 1);
        return out;
    }
};
} // namespace

TEST_F(ListOpsTest, ScanFolderTakesPicturesByExtensionOnly)
{
    for (const char *n :
         {"b.JPG", "a.png", "x.jp", "photo", "song.mp3", "notes.txt", "photo.", ".hidden.gif"})
        touch(d + n);
    QDir(d).mkdir("sub.jpg");
    touch(d + "sub.jpg/inner.jpg");
    const ListChange change = ops.ScanFolder(d + "*.*");
    EXPECT_EQ(names(), QStringList({".hidden.gif", "a.png", "b.JPG", "x.jp"}));
    EXPECT_FALSE(st.list.sorted());
    EXPECT_EQ(change, (ListChange{ListChange::Kind::Reordered, 0}));
}

TEST_F(ListOpsTest, FolderWithoutPicturesLeavesAnEmptyUnsortedList)
{
    touch(d + "notes.txt");
    touch(d + "song.mp3");
    st.ListActive = true;
    const ListChange change = ops.openFolder(dir.path());
    EXPECT_TRUE(st.list.isEmpty());
    EXPECT_FALSE(st.list.sorted());
    EXPECT_FALSE(st.ListActive);
    EXPECT_EQ(change, (ListChange{ListChange::Kind::Activated, -1}));
}

TEST_F(ListOpsTest, OpenFolderShowsSearchTextAndRemembersParent)
{
    QDir(d).mkpath("pics");
    touch(d + "pics/b.jpg");
    touch(d + "pics/a.jpg");
    st.PictureIndex = 5;
    EXPECT_EQ(ops.openFolder(d + "pics"), (ListChange{ListChange::Kind::Activated, 0}));
    EXPECT_EQ(prompter.statusHistory, QStringList({kSearchingText, "SlideShow OFF"}));
    EXPECT_EQ(st.settings.Window.LastDir, d);
    EXPECT_EQ(names(), QStringList({"a.jpg", "b.jpg"}));
    EXPECT_TRUE(st.ListActive);
    EXPECT_EQ(st.PictureIndex, 0);

    // Cancelled: the current list is activated again; no status text.
    prompter.statusHistory.clear();
    st.PictureIndex = 1;
    EXPECT_EQ(ops.openFolder(std::nullopt), (ListChange{ListChange::Kind::Activated, 0}));
    EXPECT_TRUE(prompter.statusHistory.isEmpty());
    EXPECT_EQ(st.PictureIndex, 0);
    EXPECT_EQ(names(), QStringList({"a.jpg", "b.jpg"}));
}

TEST_F(ListOpsTest, OpenFilesSkipsMediaAndKeepsCaseVariants)
{
    st.SortOrder = PlayOrder::NameReversed;
    (void)ops.openFiles({d + "IMG.JPG", d + "img.jpg", d + "a.jpg", d + "a.jpg", d + "song.mp3"});
    EXPECT_EQ(names(), QStringList({"img.jpg", "IMG.JPG", "a.jpg"}));
    EXPECT_TRUE(st.ListActive);
}

TEST_F(ListOpsTest, RFileNameDispatchesByKind)
{
    touch(d + "list.lst");
    touch(d + "list.LST");
    (void)ops.rFileName(d + "list.lst");
    EXPECT_EQ(ops.rFileName(d + "missing.lst"), ListChange{});
    (void)ops.rFileName(d + "list.LST"); // not a list file: letter case counts
    (void)ops.rFileName(d + "p.gif");    // a picture need not exist yet
    (void)ops.rFileName(d + "photo");
    EXPECT_EQ(names(), QStringList({"p.gif"}));
}

TEST_F(ListOpsTest, ArchivesExtractIntoNumberedFoldersWithoutDuplicates)
{
    makeZip(d + "a.b.zip",
            {{"one.jpg", "1"}, {"sub/two.jpg", "2"}, {"sub/deeper/three.png", "3"}, {"readme.txt", "x"}});
    st.list.setSorted(false);
    EXPECT_EQ(ops.rFileName(d + "a.b.zip").kind, ListChange::Kind::Replaced);
    EXPECT_TRUE(IsFolder(st.TempFolder + "/a_b_zip"));
    // A picture in a sub-folder is added once, even with the list unsorted.
    QStringList got = names();
    got.sort();
    EXPECT_EQ(got, QStringList({"one.jpg", "three.png", "two.jpg"}));
    EXPECT_FALSE(ops.extracting());

    (void)ops.rFileName(d + "a.b.zip");
    EXPECT_TRUE(IsFolder(st.TempFolder + "/a_b_zip[001]"));
    EXPECT_EQ(st.list.count(), 6);
    EXPECT_TRUE(st.list.at(5).startsWith(st.TempFolder + "/a_b_zip[001]/"));
    EXPECT_TRUE(prompter.errors.isEmpty());
}

TEST_F(ListOpsTest, BrokenArchiveIsReportedAndTheScanGoesOn)
{
    touch(d + "bad.zip", "PK\x03\x04 not really a zip");
    touch(d + "x.z", "nothing");
    touch(d + "ok.jpg");
    makeZip(d + "good.zip", {{"in.jpg", "1"}});
    (void)ops.ScanFolder(d + "*.*");
    ASSERT_EQ(prompter.errors.size(), 2);
    for (const QString &e : prompter.errors)
        EXPECT_TRUE(e.contains(d + "bad.zip") || e.contains(d + "x.z")) << e.toStdString();
    QStringList got = names();
    got.sort();
    EXPECT_EQ(got, QStringList({"in.jpg", "ok.jpg"}));
}

TEST_F(ListOpsTest, ArchiveNestedInItselfStopsAtADepth)
{
    // Zips nested deeper than the limit: the innermost is reported, not extracted.
    QByteArray inner;
    makeZip(d + "z0.zip", {{"deep.jpg", "1"}});
    for (int i = 1; i <= ListOps::kMaxArchiveDepth + 1; ++i) {
        QFile f(d + QString("z%1.zip").arg(i - 1));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        makeZip(d + QString("z%1.zip").arg(i), {{QString("z%1.zip").arg(i - 1), f.readAll()}});
    }
    (void)ops.rFileName(d + QString("z%1.zip").arg(ListOps::kMaxArchiveDepth + 1));
    EXPECT_EQ(prompter.errors.size(), 1);
    EXPECT_TRUE(st.list.isEmpty());
    EXPECT_FALSE(ops.extracting()); // every level ended
}

TEST_F(ListOpsTest, PruneMissingDropsOnlyVanishedCurrentEntries)
{
    touch(d + "a.jpg");
    touch(d + "d.jpg");
    st.list.replace({d + "a.jpg", d + "b.jpg", d + "gone.jpg", d + "d.jpg"});
    st.PictureIndex = 1;
    ops.PruneMissing();
    EXPECT_EQ(names(), QStringList({"a.jpg", "d.jpg"}));
    EXPECT_EQ(st.PictureIndex, 1);

    st.list.replace({d + "a.jpg", d + "x.jpg", d + "y.jpg"});
    st.PictureIndex = 2;
    ops.PruneMissing();
    EXPECT_EQ(names(), QStringList({"a.jpg"}));
    EXPECT_EQ(st.PictureIndex, 0);

    st.list.replace({d + "x.jpg"});
    st.PictureIndex = 0;
    ops.PruneMissing();
    EXPECT_TRUE(st.list.isEmpty());
}

// A long extraction reports its progress; stopping it keeps what was
// extracted, reports no error, and the progress window goes away.
TEST_F(ListOpsTest, ExtractionReportsProgressAndCanBeStopped)
{
    QList<QPair<QString, QByteArray>> entries;
    for (int i = 0; i < 8; ++i)
        entries.append({QStringLiteral("p%1.jpg").arg(i), QByteArray(200000, char('a' + i))});
    makeZip(d + "many.zip", entries);

    (void)ops.rFileName(d + "many.zip");
    EXPECT_GE(prompter.progressReports, 8);
    EXPECT_EQ(prompter.progressEnds, 1);
    EXPECT_EQ(st.list.count(), 8);

    st.list.clear();
    prompter.progressReports = 0;
    prompter.stopAt = 3;
    (void)ops.rFileName(d + "many.zip");
    EXPECT_TRUE(prompter.errors.isEmpty());
    EXPECT_EQ(prompter.progressEnds, 2);
    EXPECT_LT(st.list.count(), 8);
}

TEST_F(ListOpsTest, AListOfRawsLoadsTheirLibrariesAheadAndAListOfJpegsNothing)
{
    ASSERT_FALSE(FormatModuleAskedFor(FormatModuleKind::Raw)) << "needs a process of its own, as CTest runs it";
    ASSERT_FALSE(FormatModuleAskedFor(FormatModuleKind::Codecs));
    st.PictureFilter = QStringLiteral("Pictures (*.jpg;*.png;*.dng;*.hif)");
    for (const char *n : {"a.jpg", "b.png"})
        touch(d + n);
    (void)ops.rFileName(dir.path());
    (void)ops.ActivateList();
    EXPECT_EQ(st.list.count(), 2);
    EXPECT_FALSE(FormatModuleAskedFor(FormatModuleKind::Raw));
    EXPECT_FALSE(FormatModuleAskedFor(FormatModuleKind::Codecs));

    // A RAW joins: LibRaw alone loads, as soon as the list holds it.
    touch(d + "c.DNG");
    (void)ops.rFileName(d + "c.DNG");
    EXPECT_TRUE(FormatModuleAskedFor(FormatModuleKind::Raw));
    EXPECT_FALSE(FormatModuleAskedFor(FormatModuleKind::Codecs));
    EXPECT_NE(FormatModule(FormatModuleKind::Raw), nullptr); // waits for the load under way

    touch(d + "d.hif");
    (void)ops.rFileName(d + "d.hif");
    EXPECT_TRUE(FormatModuleAskedFor(FormatModuleKind::Codecs));
}
