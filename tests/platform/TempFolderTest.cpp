#include "platform/TempFolder.h"

#include "ListRecorders.h"
#include "platform/FileTree.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(TempFolder, InstancesKeepTheirOwnFoldersAndStaleOnesGo)
{
    QTemporaryDir root;
    TempFolder first(root.path());
    ASSERT_TRUE(first.setUp());
    touch(first.path() + "/extracted.jpg");

    // What a crashed viewer left: a folder whose lock nobody holds, and one without a lock.
    const QString stale = first.pictureFolder() + "/999999-dead";
    QDir().mkpath(stale + "/x_zip");
    touch(stale + "/x_zip/a.jpg");
    touch(stale + ".lock");
    QDir().mkpath(first.pictureFolder() + "/nolock");

    TempFolder second(root.path());
    ASSERT_TRUE(second.setUp());
    EXPECT_NE(first.path(), second.path());
    EXPECT_TRUE(IsFile(first.path() + "/extracted.jpg")); // still held by the first viewer
    EXPECT_FALSE(PathExists(stale));
    EXPECT_FALSE(PathExists(stale + ".lock"));
    EXPECT_FALSE(PathExists(first.pictureFolder() + "/nolock"));

    struct stat st;
    ASSERT_EQ(
        stat(QFile::encodeName(root.path() + "/glimmerdeck-" + QString::number(geteuid())).constData(), &st),
        0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    second.remove();
    EXPECT_FALSE(PathExists(second.path()));
    EXPECT_TRUE(IsFile(first.path() + "/extracted.jpg"));
    const QString firstPath = first.path();
    first.remove();
    EXPECT_FALSE(PathExists(firstPath));
}

TEST(TempFolder, RefusesAPlantedLink)
{
    QTemporaryDir root, elsewhere;
    touch(elsewhere.path() + "/precious.jpg");
    const QString user = root.path() + "/glimmerdeck-" + QString::number(geteuid());
    ASSERT_EQ(symlink(QFile::encodeName(elsewhere.path()).constData(), QFile::encodeName(user).constData()),
              0);
    TempFolder tf(root.path());
    QString error;
    EXPECT_FALSE(tf.setUp(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(tf.path().isEmpty());
    EXPECT_TRUE(IsFile(elsewhere.path() + "/precious.jpg"));
}

TEST(FileTree, DeleteTreeNeverFollowsLinks)
{
    QTemporaryDir root, elsewhere;
    touch(elsewhere.path() + "/keep.jpg");
    const QString victim = root.path() + "/victim";
    QDir().mkpath(victim + "/sub");
    touch(victim + "/sub/a.jpg");
    ASSERT_EQ(symlink(QFile::encodeName(elsewhere.path()).constData(),
                      QFile::encodeName(victim + "/link").constData()),
              0);
    QFile(victim + "/sub/a.jpg").setPermissions(QFileDevice::ReadOwner); // read-only files go too
    EXPECT_TRUE(DeleteTree(victim));
    EXPECT_FALSE(PathExists(victim));
    EXPECT_TRUE(IsFile(elsewhere.path() + "/keep.jpg"));
}
