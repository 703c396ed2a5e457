#include "platform/RenameFile.h"

#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{
void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

// Both ways of renaming: the atomic call and the link fallback.
class RenameFileTest : public ::testing::TestWithParam<bool>
{
protected:
    FileOpOutcome rename(const QString &from, const QString &to)
    {
        return GetParam() ? FileOps().renameFile(from, to) : renameByLink(from, to);
    }
};

TEST_P(RenameFileTest, RenamesButNeverReplaces)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.jpg"), b = dir.filePath("b.jpg"), c = dir.filePath("c.jpg");
    writeFile(a, "AAA");
    writeFile(b, "BBB");

    EXPECT_EQ(rename(a, c).result, FileOpResult::Ok);
    EXPECT_EQ(readAll(c), "AAA");
    EXPECT_FALSE(QFile::exists(a));

    const FileOpOutcome taken = rename(c, b);
    EXPECT_EQ(taken.result, FileOpResult::TargetExists);
    EXPECT_EQ(readAll(b), "BBB");
    EXPECT_EQ(readAll(c), "AAA");

    struct Case {
        QString from, to;
        FileOpResult result;
    } cases[] = {
        {dir.filePath("gone.jpg"), dir.filePath("x.jpg"), FileOpResult::SourceMissing},
        {c, dir.filePath("no/such/x.jpg"), FileOpResult::TargetFolderMissing},
        {c, dir.filePath("."), FileOpResult::InvalidName},
        {c, dir.filePath(".."), FileOpResult::InvalidName},
        {c, dir.path() + "/", FileOpResult::InvalidName},
        {c, dir.filePath("x") + QChar(0) + "y.jpg", FileOpResult::InvalidName},
        {c, dir.filePath(QString(300, 'n')), FileOpResult::InvalidName},
    };
    for (const Case &k : cases)
        EXPECT_EQ(rename(k.from, k.to).result, k.result) << k.to.toStdString();
    // Nothing moved and nothing left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"b.jpg", "c.jpg"}));
    EXPECT_EQ(readAll(c), "AAA");
}

INSTANTIATE_TEST_SUITE_P(Rename, RenameFileTest, ::testing::Values(true, false),
                         [](const auto &info) { return info.param ? "Atomic" : "ByLink"; });
