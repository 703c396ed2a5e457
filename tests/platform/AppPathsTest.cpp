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

namespace
{
void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}
} // namespace

TEST(AppPaths, HelpFileBesideTheExecutableThenMovedTreeThenConfigured)
{
    // An installed tree moved to /tmp/.../moved while the build was configured
    // for /tmp/.../usr-local.
    QTemporaryDir tmp;
    const QString prefix = tmp.filePath(QStringLiteral("moved"));
    const QString exe = prefix + QStringLiteral("/bin");
    const QString configured = tmp.filePath(QStringLiteral("usr-local/share/glimmerdeck"));
    QDir().mkpath(exe);

    // Nowhere: the path beside the executable, for the error page.
    EXPECT_EQ(AppPaths::resolveHelpFilePath(exe, configured), exe + QStringLiteral("/help.html"));
    touch(configured + QStringLiteral("/help.html"));
    EXPECT_EQ(AppPaths::resolveHelpFilePath(exe, configured), configured + QStringLiteral("/help.html"));
    touch(prefix + QStringLiteral("/share/glimmerdeck/help.html"));
    EXPECT_EQ(AppPaths::resolveHelpFilePath(exe, configured),
              prefix + QStringLiteral("/share/glimmerdeck/help.html"));
    touch(exe + QStringLiteral("/help.html"));
    EXPECT_EQ(AppPaths::resolveHelpFilePath(exe, configured), exe + QStringLiteral("/help.html"));
    // A folder of that name is no help page.
    QTemporaryDir other;
    QDir().mkpath(other.filePath(QStringLiteral("bin/help.html")));
    EXPECT_EQ(AppPaths::resolveHelpFilePath(other.filePath(QStringLiteral("bin")), configured),
              configured + QStringLiteral("/help.html"));
}

TEST(AppPaths, PluginFolderSearchOrder)
{
    QTemporaryDir tmp;
    const QString prefix = tmp.filePath(QStringLiteral("moved"));
    const QString exe = prefix + QStringLiteral("/bin");
    const QString configured = tmp.filePath(QStringLiteral("usr/lib/glimmerdeck/plugins"));
    const QStringList libs{QStringLiteral("lib"), QStringLiteral("lib/x86_64-linux-gnu"),
                           QStringLiteral("lib64")};
    QDir().mkpath(exe);

    EXPECT_EQ(
        AppPaths::pluginFolders(exe, configured, libs),
        QStringList({exe + QStringLiteral("/plugins"), prefix + QStringLiteral("/lib/glimmerdeck/plugins"),
                     prefix + QStringLiteral("/lib/x86_64-linux-gnu/glimmerdeck/plugins"),
                     prefix + QStringLiteral("/lib64/glimmerdeck/plugins"), configured}));
    // An absolute library folder says nothing about a moved tree.
    EXPECT_EQ(AppPaths::pluginFolders(exe, configured, {QStringLiteral("/usr/lib")}),
              QStringList({exe + QStringLiteral("/plugins"), configured}));

    // Nothing exists: the configured folder.
    EXPECT_EQ(AppPaths::resolvePluginFolder(exe, configured, libs), configured);
    // Each existing candidate beats the ones after it.
    const QStringList inOrder{prefix + QStringLiteral("/lib64/glimmerdeck/plugins"),
                              prefix + QStringLiteral("/lib/x86_64-linux-gnu/glimmerdeck/plugins"),
                              prefix + QStringLiteral("/lib/glimmerdeck/plugins"),
                              exe + QStringLiteral("/plugins")};
    for (const QString &folder : inOrder) {
        QDir().mkpath(folder);
        EXPECT_EQ(AppPaths::resolvePluginFolder(exe, configured, libs), folder);
    }
    // The folders this build knows include the plain and the configured form.
    EXPECT_TRUE(AppPaths::installLibDirs().contains(QStringLiteral("lib")));
}

TEST(AppPaths, IconFromBuildFolderOrInstalledIconTheme)
{
    QTemporaryDir tmp;
    const QString prefix = tmp.filePath(QStringLiteral("moved"));
    const QString exe = prefix + QStringLiteral("/bin");
    const QString configured = tmp.filePath(QStringLiteral("usr/share/glimmerdeck"));
    QDir().mkpath(exe);
    EXPECT_EQ(AppPaths::resolveIconFilePath(exe, configured), QString());

    const QString configuredTheme =
        tmp.filePath(QStringLiteral("usr/share/icons/hicolor/scalable/apps/glimmerdeck.svg"));
    touch(configuredTheme);
    EXPECT_EQ(AppPaths::resolveIconFilePath(exe, configured), configuredTheme);
    const QString movedTheme = prefix + QStringLiteral("/share/icons/hicolor/scalable/apps/glimmerdeck.svg");
    touch(movedTheme);
    EXPECT_EQ(AppPaths::resolveIconFilePath(exe, configured), movedTheme);
    touch(exe + QStringLiteral("/glimmerdeck.svg"));
    EXPECT_EQ(AppPaths::resolveIconFilePath(exe, configured), exe + QStringLiteral("/glimmerdeck.svg"));
}
