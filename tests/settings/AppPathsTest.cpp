#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(AppPaths, ApplicationFolderChoice)
{
    QTemporaryDir tmp;
    const QString exe = tmp.filePath(QStringLiteral("bin"));
    const QString config = tmp.filePath(QStringLiteral("config/glimmerdeck"));
    const QString home = tmp.filePath(QStringLiteral("home/gd"));
    QDir().mkpath(exe);

    // The environment wins, and its folder is created.
    EXPECT_EQ(AppPaths::resolveApplicationFolder(home, exe, config), home);
    EXPECT_TRUE(QFileInfo(home).isDir());
    // A writable executable folder: portable use.
    EXPECT_EQ(AppPaths::resolveApplicationFolder(QString(), exe, config), exe);
    // An executable folder we cannot use: the per-user folder, created.
    EXPECT_EQ(AppPaths::resolveApplicationFolder(QString(), tmp.filePath(QStringLiteral("missing")), config),
              config);
    EXPECT_TRUE(QFileInfo(config).isDir());
}

TEST(AppPaths, FilesInTheApplicationFolder)
{
    QTemporaryDir tmp;
    qputenv("GLIMMERDECK_HOME", tmp.path().toLocal8Bit());
    const QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    EXPECT_EQ(AppPaths::applicationFolder(), tmp.path());
    EXPECT_EQ(AppPaths::settingsPath(), tmp.path() + u'/' + base + QStringLiteral(".ini"));
    EXPECT_EQ(AppPaths::dcimRulePath(), tmp.path() + QStringLiteral("/DCIM_rule.dat"));
    qunsetenv("GLIMMERDECK_HOME");
}

TEST(AppPaths, HelpFileBesideTheExecutableElseInstalled)
{
    QTemporaryDir tmp;
    const QString exe = tmp.filePath(QStringLiteral("bin"));
    const QString data = tmp.filePath(QStringLiteral("share"));
    QDir().mkpath(exe);
    QDir().mkpath(data);
    EXPECT_EQ(AppPaths::resolveHelpFilePath(exe, data), exe + QStringLiteral("/help.html"));
    QFile(data + QStringLiteral("/help.html")).open(QIODevice::WriteOnly);
    EXPECT_EQ(AppPaths::resolveHelpFilePath(exe, data), data + QStringLiteral("/help.html"));
    QFile(exe + QStringLiteral("/help.html")).open(QIODevice::WriteOnly);
    EXPECT_EQ(AppPaths::resolveHelpFilePath(exe, data), exe + QStringLiteral("/help.html"));
}
