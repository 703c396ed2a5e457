// Archives that lie about their sizes or expand a thousandfold: every limit
// holds against the bytes actually written.
#include "platform/FileTree.h"
#include "platform/ZipExtract.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zip.h>

namespace
{

struct Entry {
    QString name;
    QByteArray data;
};

// A deflated archive written with libzip.
bool writeZip(const QString &path, const QList<Entry> &entries)
{
    int err = 0;
    zip_t *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z)
        return false;
    for (const Entry &e : entries) {
        zip_source_t *src = zip_source_buffer(z, e.data.constData(), zip_uint64_t(e.data.size()), 0);
        const zip_int64_t i = zip_file_add(z, e.name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        if (i < 0) {
            zip_source_free(src);
            zip_discard(z);
            return false;
        }
        zip_set_file_compression(z, zip_uint64_t(i), ZIP_CM_DEFLATE, 9);
    }
    return zip_close(z) == 0;
}

// Rewrites the uncompressed size of every entry, in its local header and in
// the central directory, as a hostile archive would declare it.
bool declareSize(const QString &path, quint32 size)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    QByteArray d = f.readAll();
    auto put = [&](qsizetype at) {
        for (int k = 0; k < 4; ++k)
            d[at + k] = char((size >> (8 * k)) & 0xFF);
    };
    int patched = 0;
    for (qsizetype i = 0; i + 30 < d.size(); ++i) {
        if (d.mid(i, 4) == QByteArray("PK\x03\x04", 4)) {
            put(i + 22);
            ++patched;
        } else if (d.mid(i, 4) == QByteArray("PK\x01\x02", 4)) {
            put(i + 24);
            ++patched;
        }
    }
    f.seek(0);
    return patched >= 2 && f.write(d) == d.size();
}

QStringList filesIn(const QString &folder)
{
    QStringList all, files;
    ListTree(folder, all);
    for (const QString &p : all)
        if (QFileInfo(p).isFile())
            files << QDir(folder).relativeFilePath(p);
    files.sort();
    return files;
}

} // namespace

// An entry declaring 0 bytes skipped the free-space check and wrote until
// the disk was full; now its declared size bounds what is written.
TEST(ZipLimits, EntryDeclaringZeroBytesWritesNothingPastIt)
{
    QTemporaryDir t;
    const QString zip = t.filePath("liar.zip");
    ASSERT_TRUE(writeZip(zip, {{"ok.txt", "fine"}, {"b.jpg", QByteArray(3 << 20, '\0')}}));
    ASSERT_TRUE(declareSize(zip, 0));
    const QString out = t.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    const ZipExtractResult r = ExtractZip(zip, out);
    EXPECT_EQ(r.written, 0);
    EXPECT_EQ(r.problems.size(), 2) << r.problems.join('\n').toStdString();
    EXPECT_TRUE(filesIn(out).isEmpty()) << filesIn(out).join(' ').toStdString();
}

TEST(ZipLimits, SizeAndRatioLimitsRefuseBombs)
{
    const QByteArray zeros(4 << 20, '\0'); // deflates about a thousandfold
    const QByteArray noise = [] {
        QByteArray b(512 << 10, '\0');
        quint32 x = 12345;
        for (char &c : b) {
            x = x * 1103515245u + 12345u;
            c = char(x >> 24);
        }
        return b;
    }();
    ZipExtractOptions small;
    small.maxEntryBytes = 3 << 20;
    small.maxTotalBytes = 1 << 20;
    small.ratioGraceBytes = 256 << 10;

    struct Case {
        const char *what;
        QList<Entry> entries;
        ZipExtractOptions opt;
        QStringList files;
        QString message; // part of the one problem reported, empty for none
    };
    ZipExtractOptions noRatio = small;
    noRatio.maxRatio = 1 << 20;
    ZipExtractOptions roomy = noRatio;
    roomy.maxTotalBytes = 64 << 20;
    const Case cases[] = {
        {"declared entry past the limit: refused unwritten, the rest goes on",
         {{"big.bmp", zeros}, {"small.txt", "x"}},
         roomy,
         {"small.txt"},
         "ファイルが大きすぎる"},
        {"total past the archive limit stops everything",
         {{"a.bin", noise}, {"b.bin", noise}, {"c.bin", noise}},
         noRatio,
         {"a.bin", "b.bin"},
         "展開後のサイズが大きすぎる"},
        {"a thousandfold expansion past the grace",
         {{"a.bmp", QByteArray(1 << 20, '\0')}, {"z.txt", "x"}},
         [&] {
             ZipExtractOptions o = roomy;
             o.maxRatio = 100;
             return o;
         }(),
         {},
         "展開後のサイズが大きすぎる"},
        {"within every limit", {{"a.bin", noise}, {"d/b.txt", "hello"}}, small, {"a.bin", "d/b.txt"}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir t;
        const QString zip = t.filePath("a.zip");
        ASSERT_TRUE(writeZip(zip, c.entries));
        const QString out = t.filePath("out");
        ASSERT_TRUE(QDir().mkpath(out));
        const ZipExtractResult r = ExtractZip(zip, out, c.opt);
        EXPECT_EQ(filesIn(out), c.files);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(r.ok()) << r.problems.join('\n').toStdString();
        } else {
            ASSERT_EQ(r.problems.size(), 1) << r.problems.join('\n').toStdString();
            EXPECT_TRUE(r.problems[0].contains(c.message)) << r.problems[0].toStdString();
        }
    }
}

TEST(ZipLimits, ProgressReportsAndCancels)
{
    QTemporaryDir t;
    const QString zip = t.filePath("a.zip");
    ASSERT_TRUE(
        writeZip(zip, {{"one.bin", QByteArray(3 << 20, 'a')}, {"two.bin", QByteArray(3 << 20, 'b')}}));
    const QString out = t.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    ZipExtractOptions opt;
    QList<int64_t> seen;
    opt.progress = [&](int64_t written, int64_t total) {
        EXPECT_EQ(total, 6 << 20);
        seen << written;
        return written < (4 << 20); // cancel inside the second file
    };
    const ZipExtractResult r = ExtractZip(zip, out, opt);
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.written, 1);
    EXPECT_EQ(filesIn(out), QStringList{"one.bin"}); // no half-written second file
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    ASSERT_EQ(r.problems.size(), 1);
    EXPECT_TRUE(r.problems[0].contains("展開を中止しました")) << r.problems[0].toStdString();
}
