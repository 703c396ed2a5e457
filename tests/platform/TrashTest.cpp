#include "platform/Trash.h"

#include "FileCensus.h"
#include "platform/FileOps.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrl>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
// Sets an environment variable (or removes it, for a null value) while alive.
struct EnvSwap {
    QByteArray name, old;
    bool had;
    EnvSwap(const char *n, const QByteArray &value)
        : name(n), old(qgetenv(n)), had(qEnvironmentVariableIsSet(n))
    {
        if (value.isNull())
            qunsetenv(n);
        else
            qputenv(n, value);
    }
    ~EnvSwap()
    {
        if (had)
            qputenv(name.constData(), old);
        else
            qunsetenv(name.constData());
    }
};

// A home trash of the test's own, on the file system of /tmp.
struct TrashTest : ::testing::Test {
    QTemporaryDir root;
    QString pics, data;
    std::unique_ptr<EnvSwap> xdg;
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        pics = root.path() + "/pics";
        data = root.path() + "/data";
        QDir().mkpath(pics);
        xdg = std::make_unique<EnvSwap>("XDG_DATA_HOME", QFile::encodeName(data));
    }
    QString trash() const { return data + "/Trash"; }
};

QMap<QString, QString> infoFields(const QString &path)
{
    QMap<QString, QString> out;
    const QList<QByteArray> lines = readAll(path).split('\n');
    if (lines.isEmpty() || lines[0] != "[Trash Info]")
        return out;
    for (const QByteArray &line : lines) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            out[QString::fromUtf8(line.left(eq))] = QString::fromUtf8(line.mid(eq + 1));
    }
    return out;
}

int modeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}
} // namespace

TEST(TrashNames, LongNamesAreShortenedKeepingTheExtensionAndWholeCharacters)
{
    const QByteArray jp = QString(82, QChar(0x3042)).toUtf8(); // 246 bytes
    struct Case {
        QByteArray name;
        int attempt, limit;
        QByteArray want;
    };
    const QList<Case> cases = {
        {"a.jpg", 0, 245, "a.jpg"},
        {"a.jpg", 1, 245, "a.2.jpg"},
        {"noext", 2, 245, "noext.3"},
        {".hidden", 1, 245, ".hidden.2"},
        {jp + ".jpg", 0, 245, QString(80, QChar(0x3042)).toUtf8() + ".jpg"}, // 240 + 4
        {jp + ".jpg", 11, 245, QString(79, QChar(0x3042)).toUtf8() + ".12.jpg"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString() + " #" + std::to_string(c.attempt));
        const QByteArray got = TrashEntryName(c.name, c.attempt, c.limit);
        EXPECT_EQ(got, c.want);
        EXPECT_LE(got.size(), c.limit);
        EXPECT_TRUE(QString::fromUtf8(got).toUtf8() == got); // valid UTF-8
    }
}

TEST_F(TrashTest, LongNameAndRepeatedNamesEachGetAnEntryWithTheirPath)
{
    // 250 bytes: the .trashinfo of the same name would be too long for the file system.
    const QString longName = QString(82, QChar(0x3042)) + ".jpg";
    ASSERT_EQ(longName.toUtf8().size(), 250);
    QList<QPair<QByteArray, TrashedFile>> done;
    for (const QString &name : {longName, QString("p.jpg"), QString("p.jpg"), QString("p.jpg")}) {
        const QString file = pics + "/" + name;
        const QByteArray content = writeUnique(file, 1000 + int(done.size()));
        TrashedFile where;
        const FileOpOutcome r = systemFileOps().moveToTrash(file, &where);
        ASSERT_TRUE(r.ok()) << r.detail.toStdString();
        EXPECT_FALSE(QFileInfo::exists(file));
        EXPECT_EQ(where.originalPath, file);
        EXPECT_TRUE(where.trashedPath.startsWith(trash() + "/files/"));
        EXPECT_EQ(where.infoPath,
                  trash() + "/info/" + QFileInfo(where.trashedPath).fileName() + ".trashinfo");
        EXPECT_EQ(readAll(where.trashedPath), content);
        EXPECT_TRUE(where.trashedPath.endsWith(".jpg"));
        const auto info = infoFields(where.infoPath);
        EXPECT_EQ(QUrl::fromPercentEncoding(info.value("Path").toLatin1()), file);
        EXPECT_FALSE(info.value("Path").contains(QChar(0x3042))); // percent-encoded
        EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d$")
                        .match(info.value("DeletionDate"))
                        .hasMatch());
        done.append({content, where});
    }
    QSet<QString> names;
    for (const auto &d : done)
        names.insert(d.second.trashedPath);
    EXPECT_EQ(names.size(), 4);
    EXPECT_EQ(modeOf(trash()), 0700);
}

TEST_F(TrashTest, RestorePutsBackWithoutReplacingAndThenRemovesTheInfo)
{
    const QString file = pics + "/r.jpg";
    const QByteArray original = writeUnique(file);
    TrashedFile where;
    ASSERT_TRUE(systemFileOps().moveToTrash(file, &where).ok());
    const QByteArray newcomer = writeUnique(file, 333);

    EXPECT_EQ(systemFileOps().restoreFromTrash(where).result, FileOpResult::TargetExists);
    EXPECT_EQ(readAll(file), newcomer);
    EXPECT_EQ(readAll(where.trashedPath), original);
    EXPECT_TRUE(QFileInfo::exists(where.infoPath));

    QFile::remove(file);
    // Without the original path in the entry, the .trashinfo says where.
    TrashedFile fromInfo = where;
    fromInfo.originalPath.clear();
    ASSERT_TRUE(systemFileOps().restoreFromTrash(fromInfo).ok());
    EXPECT_EQ(readAll(file), original);
    EXPECT_FALSE(QFileInfo::exists(where.infoPath));
    EXPECT_FALSE(QFileInfo::exists(where.trashedPath));
    EXPECT_EQ(systemFileOps().restoreFromTrash(where).result, FileOpResult::SourceMissing);
}

TEST(TrashHome, FreshHomeWithoutDataFolderGetsItsOwnTrashNotTheCurrentFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString home = root.path() + "/home", cwd = root.path() + "/cwd", pics = root.path() + "/pics";
    for (const QString &d : {home, cwd, pics})
        QDir().mkpath(d);
    EnvSwap noXdg("XDG_DATA_HOME", QByteArray());
    EnvSwap newHome("HOME", QFile::encodeName(home));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(cwd));
    const QString file = pics + "/新しい写真.jpg";
    const QByteArray content = writeUnique(file);
    TrashedFile where;
    const FileOpOutcome r = systemFileOps().moveToTrash(file, &where);
    QDir::setCurrent(before);

    ASSERT_TRUE(r.ok()) << r.detail.toStdString();
    const QString trash = home + "/.local/share/Trash";
    EXPECT_EQ(readAll(trash + "/files/新しい写真.jpg"), content);
    EXPECT_TRUE(QFileInfo::exists(trash + "/info/新しい写真.jpg.trashinfo"));
    EXPECT_EQ(modeOf(trash), 0700);
    EXPECT_TRUE(QDir(cwd).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

// A file on another file system goes to the trash at the top of that file
// system; /dev/shm is a file system of its own on most machines.
struct TopTrashTest : ::testing::Test {
    QTemporaryDir shm{QStringLiteral("/dev/shm/gd-trash-XXXXXX")};
    QTemporaryDir home;
    std::unique_ptr<EnvSwap> xdg;
    void SetUp() override
    {
        struct stat a, b;
        if (!shm.isValid() || !home.isValid() || ::stat("/dev/shm", &a) != 0 ||
            ::stat(QFile::encodeName(home.path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
            GTEST_SKIP() << "no second file system at /dev/shm";
        xdg = std::make_unique<EnvSwap>("XDG_DATA_HOME", QFile::encodeName(home.path()));
    }
    QString uid() const { return QString::number(::getuid()); }
};

TEST_F(TopTrashTest, TheTopDirectoryTrashIsUsedWhenItCanBe)
{
    const QString top = shm.path();
    const QString shared = top + "/.Trash";
    struct Case {
        const char *setup;
        QString trash; // empty: refused
    };
    const QList<Case> cases = {
        {"none", top + "/.Trash-" + uid()},
        {"sticky", shared + "/" + uid()},
        {"not sticky", top + "/.Trash-" + uid()},
        {"link", top + "/.Trash-" + uid()},
        {"blocked", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.setup);
        const QString setup = QString::fromLatin1(c.setup);
        QDir(shared).removeRecursively();
        QFile::remove(shared);
        QDir(top + "/.Trash-" + uid()).removeRecursively();
        QFile::remove(top + "/.Trash-" + uid());
        QDir().mkpath(top + "/sub");
        if (setup == "sticky" || setup == "not sticky") {
            QDir().mkpath(shared);
            ::chmod(QFile::encodeName(shared).constData(), setup == "sticky" ? 01777 : 0777);
        } else if (setup == "link") {
            QDir().mkpath(top + "/elsewhere");
            ::chmod(QFile::encodeName(top + "/elsewhere").constData(), 01777);
            QFile::link(top + "/elsewhere", shared);
        } else if (setup == "blocked") {
            writeUnique(top + "/.Trash-" + uid());
        }
        const QString file = top + "/sub/x y.jpg";
        const QByteArray content = writeUnique(file, 777);
        TrashedFile where;
        const FileOpOutcome r = TrashFile(file, &where, top);
        if (c.trash.isEmpty()) {
            EXPECT_FALSE(r.ok());
            EXPECT_FALSE(r.detail.isEmpty());
            EXPECT_EQ(readAll(file), content);
            EXPECT_TRUE(QDir(home.path()).isEmpty());
            continue;
        }
        ASSERT_TRUE(r.ok()) << r.detail.toStdString();
        EXPECT_EQ(where.trashedPath, c.trash + "/files/x y.jpg");
        EXPECT_EQ(readAll(where.trashedPath), content);
        EXPECT_EQ(infoFields(where.infoPath).value("Path"), "sub/x%20y.jpg");
        EXPECT_EQ(modeOf(c.trash), 0700);
        ASSERT_TRUE(RestoreTrashedFile(where).ok());
        EXPECT_EQ(readAll(file), content);
    }
}

TEST_F(TopTrashTest, TheRealTopDirectoryIsFoundAndTheHomeTrashStaysEmpty)
{
    const QString file = shm.path() + "/real.jpg";
    const QByteArray content = writeUnique(file);
    TrashedFile where;
    const FileOpOutcome r = systemFileOps().moveToTrash(file, &where);
    if (!r.ok())
        GTEST_SKIP() << "no trash on /dev/shm here: " << r.detail.toStdString();
    EXPECT_TRUE(where.trashedPath.startsWith("/dev/shm/.Trash")) << where.trashedPath.toStdString();
    EXPECT_EQ(readAll(where.trashedPath), content);
    EXPECT_TRUE(infoFields(where.infoPath).value("Path").startsWith(QFileInfo(shm.path()).fileName() + "/"));
    EXPECT_TRUE(QDir(home.path()).isEmpty());
    ASSERT_TRUE(systemFileOps().restoreFromTrash(where).ok()); // leaves the machine's trash as it was
    EXPECT_EQ(readAll(file), content);
}

TEST_F(TrashTest, TwoProcessesTrashingTheSameNameLoseNothing)
{
    constexpr int kEach = 40;
    pid_t kids[2];
    for (int k = 0; k < 2; ++k) {
        const QString folder = pics + "/" + QString::number(k);
        QDir().mkpath(folder);
        kids[k] = ::fork();
        ASSERT_GE(kids[k], 0);
        if (kids[k] == 0) {
            int failures = 0;
            for (int i = 0; i < kEach; ++i) {
                const QString file = folder + "/same.jpg";
                QFile f(file);
                if (!f.open(QIODevice::WriteOnly))
                    ++failures;
                f.write(QByteArray::number(k) + "-" + QByteArray::number(i));
                f.close();
                if (!TrashFile(file, nullptr).ok())
                    ++failures;
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
    }
    for (pid_t kid : kids) {
        int status = 0;
        ::waitpid(kid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const QStringList files = QDir(trash() + "/files").entryList(QDir::Files);
    const QStringList infos = QDir(trash() + "/info").entryList(QDir::Files);
    EXPECT_EQ(files.size(), 2 * kEach);
    EXPECT_EQ(infos.size(), 2 * kEach);
    QSet<QByteArray> contents;
    for (const QString &f : files) {
        contents.insert(readAll(trash() + "/files/" + f));
        EXPECT_TRUE(infos.contains(f + ".trashinfo")) << f.toStdString();
    }
    EXPECT_EQ(contents.size(), 2 * kEach);
}
