#include "platform/ZipExtract.h"

#include "platform/FileTree.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

// Every archive of the shared test data: what lands in the folder, what is
// reported, and that nothing lands anywhere else.
TEST(ZipExtract, SharedTestArchives)
{
    struct Case {
        const char *archive;
        QStringList files;  // relative paths of the files expected, sorted
        int problems;       // lines reported
        QStringList unsafe; // entries refused for their name or kind
        QList<QPair<QString, QByteArray>> contents;
    };
    const QString evil40 = QStringLiteral("../").repeated(40) + "home/evil.txt";
    const Case cases[] = {
        {"test_compat_zip_4.zip", {"bar", "baz", "foo"}, 0, {}, {}},
        {"test_compat_zip_6.zip",
         {"New Folder/New Folder/New Text Document.txt"},
         0,
         {},
         {{"New Folder/New Folder/New Text Document.txt", "some text\r\n"}}},
        {"test_read_format_zip_7075_utf8_paths.zip",
         {"File 1.txt", "File 2 - ö.txt", "File 3 - ä.txt", "File 4 - å.txt"},
         0,
         {},
         {}},
        {"test_read_format_zip_encryption_partially.zip", {"bar.txt"}, 1, {}, {}},
        {"test_read_format_zip_filename_cp932.zip",
         {"表だよ/一覧表.txt", "表だよ/漢字.txt"},
         0,
         {},
         {{"表だよ/一覧表.txt", "Hello"}, {"表だよ/漢字.txt", "kanji"}}},
        {"test_read_format_zip_filename_utf8_jp.zip", {"表だよ/一覧表.txt", "表だよ/漢字.txt"}, 0, {}, {}},
        {"test_read_format_zip_malformed1.zip", {}, 1, {}, {}},
        {"test_read_format_zip_nested.zip", {"file.txt", "small.zip"}, 0, {}, {}},
        {"test_read_format_zip_size_exceeds_declared_stored.zip",
         {"second"},
         1,
         {},
         {{"second", "hello world"}}},
        {"test_read_format_zip_traditional_encryption_data.zip", {}, 2, {}, {}},
        {"test_read_format_zip_winzip_aes128.zip", {}, 1, {}, {}},
        {"test_read_format_zip_with_invalid_traditional_eocd.zip", {"test1.txt", "test2.txt"}, 0, {}, {}},
        {"test_read_format_zip_zip64a.zip", {"-"}, 0, {}, {{"-", "file0\n"}}},
        {"test_read_format_zip_zip64b.zip", {"-"}, 0, {}, {{"-", "file0\n"}}},
        {"unzip_test_symlink_1.zip", {"file.txt"}, 0, {"dlink", "flink", "insecure.link"}, {}},
        {"unzip_test_symlink_dotdot.zip", {"safe.txt"}, 0, {"dotdot", "traildot"}, {}},
        {"unzip_test_t_bad.zip",
         {"test_basic/CAPS", "test_basic/a", "test_basic/b", "test_basic/c"},
         0,
         {},
         {}},
        {"ztzip_duplicate.zip", {"foo.txt", "foo[001].txt"}, 0, {}, {}},
        {"ztzip_zip-malicious-traversal.zip", {"good.txt"}, 0, {evil40}, {}},
        {"ztzip_zip-malicious-traversal-backslashes.zip",
         {"someroot/good.txt"},
         0,
         {QString(evil40).replace('/', '\\')},
         {}},
        {"ztzip_zip-malicious-traversal-root.zip", {"someroot/good.txt"}, 0, {"someroot/" + evil40}, {}},
    };
    EXPECT_EQ(QDir(GD_TESTDATA "/zip").entryList({"*.zip"}).size(), int(std::size(cases)));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.archive);
        QTemporaryDir t;
        const QString out = t.path() + "/sandbox/out";
        ASSERT_TRUE(QDir().mkpath(out));
        const ZipExtractResult r = ExtractZip(QString(GD_TESTDATA "/zip/") + c.archive, out);

        QStringList all, files;
        ListTree(t.path(), all);
        for (const QString &p : all) {
            if (p == t.path() + "/sandbox" || p == out)
                continue;
            ASSERT_TRUE(p.startsWith(out + "/")) << "outside: " << p.toStdString();
            if (IsFile(p))
                files << p.mid(out.size() + 1);
        }
        files.sort();
        EXPECT_EQ(files, c.files);
        EXPECT_EQ(r.written, c.files.size());
        EXPECT_EQ(r.problems.size(), c.problems) << r.problems.join('\n').toStdString();
        EXPECT_EQ(r.unsafe, c.unsafe);
        for (const auto &[name, data] : c.contents)
            EXPECT_EQ(contentOf(out + "/" + name), data) << name.toStdString();
    }
}

TEST(ZipExtract, LegacyNamesPreferValidCp932)
{
    // 表 is 0x95 0x5C in CP932; its second byte must not split the name.
    EXPECT_EQ(DecodeLegacyZipName(QByteArray("\x95\x5c\x82\xbe\x82\xe6/a.txt")), "表だよ/a.txt");
    // 0x86 followed by "." is no CP932 character: CP437 it is.
    EXPECT_EQ(DecodeLegacyZipName(QByteArray("File 4 - \x86.txt")), "File 4 - å.txt");
    EXPECT_EQ(DecodeLegacyZipName(QByteArray("plain.jpg")), "plain.jpg");
}

TEST(ZipExtract, StopsBeforeTheDiskWouldFill)
{
    QTemporaryDir t;
    const QString out = t.path() + "/out";
    ASSERT_TRUE(QDir().mkpath(out));
    ZipExtractOptions opt;
    opt.reserveBytes = int64_t(1) << 62; // no file system has that much room
    const ZipExtractResult r = ExtractZip(GD_TESTDATA "/zip/test_compat_zip_4.zip", out, opt);
    EXPECT_EQ(r.written, 0);
    ASSERT_EQ(r.problems.size(), 1);
    QStringList left;
    ListTree(out, left);
    EXPECT_TRUE(left.isEmpty()) << left.join(' ').toStdString();
}
