#include "lists/ListFile.h"

#include "ScriptedPrompter.h"
#include "common/PictureList.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
const QString kNotOurs = QStringLiteral("指定リストファイルは、本ソフトのデータではありません。");
const QString kNoPicture = QStringLiteral("指定された画像ファイルは、存在しません。");

QByteArray utf16(const QString &s)
{
    return QByteArray(reinterpret_cast<const char *>(s.utf16()), s.size() * 2);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void touch(const QString &path)
{
    writeBytes(path, "x");
}

struct Fixture : ::testing::Test {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    PictureList list;
    QString path(const QString &name) const { return dir.filePath(name); }
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        list.add(QStringLiteral("/earlier/one.jpg"));
    }
};
using ListFileTest = Fixture;
} // namespace

TEST(ListLines, ReadsEveryLineEndingWithOrWithoutMark)
{
    QTemporaryDir dir;
    const QByteArray bom("\xFF\xFE", 2);
    struct Case {
        const char *what;
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"CR LF", bom + utf16("a\r\nb\r\n"), {"a", "b"}},
        {"lone CR", bom + utf16("a\rb\r"), {"a", "b"}},
        {"lone LF, no final break", bom + utf16("a\nb"), {"a", "b"}},
        {"mixed, blank line kept", bom + utf16("a\r\n\nb\rc"), {"a", "", "b", "c"}},
        {"no byte-order mark", utf16("a\r\nb\r\n"), {"a", "b"}},
        {"empty", bom, {}},
        {"odd stray byte", bom + utf16("a\r\n") + "z", {"a"}},
    };
    for (const Case &c : cases) {
        const QString p = dir.filePath("t.lst");
        writeBytes(p, c.bytes);
        QStringList got;
        EXPECT_TRUE(readListLines(p, got)) << c.what;
        EXPECT_EQ(got, c.lines) << c.what;
        // The first line alone, read only as far as it goes, agrees.
        QString first;
        EXPECT_EQ(readFirstListLine(p, first), !c.lines.isEmpty()) << c.what;
        EXPECT_EQ(first, c.lines.value(0)) << c.what;
    }
    // A first line longer than one piece read, its line break in the next.
    const QString longLine(40000, u'x');
    writeBytes(dir.filePath("long.lst"), bom + utf16(longLine + QStringLiteral("\r\nnext\r\n")));
    QString first;
    EXPECT_TRUE(readFirstListLine(dir.filePath("long.lst"), first));
    EXPECT_EQ(first, longLine);
    EXPECT_FALSE(readFirstListLine(dir.filePath("missing.lst"), first));
    QStringList got{"stale"};
    EXPECT_FALSE(readListLines(dir.filePath("missing.lst"), got));
    EXPECT_TRUE(got.isEmpty());
}

TEST(ListLines, WritesUtf16WithMarkAndCrLfAfterEveryLine)
{
    QTemporaryDir dir;
    const QString p = dir.filePath("w.lst");
    ASSERT_TRUE(writeListLines(p, {"/a/画像.jpg", "/b"}));
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\xFF\xFE", 2) + utf16("/a/画像.jpg\r\n/b\r\n"));
    // Rewriting replaces the whole content and leaves no temporary file.
    f.close();
    ASSERT_TRUE(writeListLines(p, {"/c"}));
    QStringList got;
    ASSERT_TRUE(readListLines(p, got));
    EXPECT_EQ(got, QStringList{"/c"});
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"w.lst"});
}

TEST(ListLines, ListFileExtensionIsExactLowerCase)
{
    EXPECT_TRUE(isListFileName("/p/set.lst"));
    EXPECT_TRUE(isListFileName("/p/履歴.lst"));
    EXPECT_FALSE(isListFileName("/p/set.LST"));
    EXPECT_FALSE(isListFileName("/p/set.Lst"));
    EXPECT_FALSE(isListFileName("/p/set.lst.jpg"));
    EXPECT_FALSE(isListFileName("/p/setlst"));
}

TEST_F(ListFileTest, RoundTripOfJapanesePathsReplacesTheListUnsorted)
{
    QDir(dir.path()).mkdir("写真");
    const QStringList pics = {path("写真/ｚ夏.jpg"), path("写真/あき.png"), path("写真/消えた.jpg")};
    touch(pics[0]);
    touch(pics[1]);
    list.setSorted(true);
    const QString lst = path("お気に入り.lst");
    ASSERT_TRUE(writeListFile(lst, pics));

    ASSERT_TRUE(ReadListFile(lst, list, prompter));
    EXPECT_EQ(list.items(), pics); // file order; a missing later picture is kept for the display to drop
    EXPECT_FALSE(list.sorted());
    EXPECT_TRUE(prompter.plains.isEmpty());
    // Paths added afterwards are appended to the new list.
    list.add("/later.jpg");
    EXPECT_EQ(list.items().last(), "/later.jpg");
}

TEST_F(ListFileTest, RefusesBadFilesAndKeepsTheList)
{
    const QString pic = path("p.jpg");
    touch(pic);
    const QString gone = path("gone.jpg");
    const QByteArray bom("\xFF\xFE", 2);
    struct Case {
        const char *what;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"header with trailing blank", bom + utf16("Glimmerdeck List Ver1.0 \r\n" + pic + "\r\n"), kNotOurs},
        {"no header", bom + utf16(pic + "\r\n"), kNotOurs},
        {"empty file", QByteArray(), kNotOurs},
        {"header only", bom + utf16("Glimmerdeck List Ver1.0\r\n"), kNoPicture},
        {"second line deleted picture",
         bom + utf16("Glimmerdeck List Ver1.0\r\n" + gone + "\r\n" + pic + "\r\n"), kNoPicture},
        {"second line a folder", bom + utf16("Glimmerdeck List Ver1.0\r\n" + dir.path() + "\r\n"),
         kNoPicture},
    };
    for (const Case &c : cases) {
        const QString lst = path("bad.lst");
        writeBytes(lst, c.bytes);
        prompter.plains.clear();
        EXPECT_FALSE(ReadListFile(lst, list, prompter)) << c.what;
        EXPECT_EQ(prompter.plains, QStringList{c.message}) << c.what;
        EXPECT_EQ(list.items(), QStringList{"/earlier/one.jpg"}) << c.what;
    }
}
