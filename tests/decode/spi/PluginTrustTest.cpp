// Plug-ins run with the user's rights: they are loaded only from where
// nobody else could have put or changed them.
#include "SpiTestSupport.h"
#include "decode/spi/PluginHost.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
QStringList loadedNames(TSPIs &spis)
{
    QStringList names;
    for (int i = 0; i < spis.Count(); ++i)
        names << QFileInfo(spis.Plugins(i)->FileName()).fileName();
    names.sort();
    return names;
}

bool setMode(const QString &path, mode_t mode)
{
    return chmod(QFile::encodeName(path).constData(), mode) == 0;
}
} // namespace

TEST(PluginTrust, UnsafePlacesAreSkippedAndReportedOnce)
{
    QTemporaryDir good, open;
    ASSERT_TRUE(setMode(good.path(), 0755));
    ASSERT_TRUE(setMode(open.path(), 0777)); // anyone may drop a file here
    installPlugins(open.path(), {"plain"});
    installPlugins(good.path(), {"second", "lower"});
    // A file others may change, and links into the open folder and to a
    // safe place.
    ASSERT_TRUE(setMode(good.filePath("lower.spi"), 0666));
    ASSERT_TRUE(QFile::link(open.filePath("plain.spi"), good.filePath("planted.spi")));
    ASSERT_TRUE(QFile::link(testPlugin("plain"), good.filePath("linked.spi")));
    const bool root = geteuid() == 0;
    if (root) {
        installPlugins(good.path(), {"preview"});
        ASSERT_EQ(chown(QFile::encodeName(good.filePath("preview.spi")).constData(), 65534, 65534), 0);
    }

    ScriptedPrompter prompter;
    PluginHost host(prompter, [](const QString &, const QString &) {});
    host.search(open.path());
    host.search(good.path());
    EXPECT_EQ(loadedNames(host.SPIs1()), QStringList({"linked.spi", "second.spi"}));
    // One box per search that found something new to skip.
    ASSERT_EQ(prompter.errors.size(), 2) << prompter.errors.join("\n---\n").toStdString();
    EXPECT_TRUE(prompter.errors[0].contains(open.filePath("plain.spi")));
    const QString second = prompter.errors[1];
    EXPECT_TRUE(second.contains(good.filePath("lower.spi") + " (ほかのユーザーが書き込み可能)"));
    EXPECT_TRUE(second.contains(good.filePath("planted.spi")));
    if (root) {
        EXPECT_TRUE(second.contains(good.filePath("preview.spi") + " (ほかのユーザーの所有)"));
    }
    EXPECT_FALSE(libraryLoaded(open.filePath("plain.spi")));

    // Searching again reports nothing new.
    host.search(open.path());
    host.search(good.path());
    EXPECT_EQ(prompter.errors.size(), 2);

    // Made safe, the folder's plug-in loads.
    ASSERT_TRUE(setMode(open.path(), 0755));
    host.search(open.path());
    EXPECT_TRUE(loadedNames(host.SPIs1()).contains("plain.spi"));
}

TEST(PluginTrust, RelativeFolderIsTakenFromTheBaseNotTheCurrentFolder)
{
    QTemporaryDir base, elsewhere;
    ASSERT_TRUE(QDir(base.path()).mkpath("spi"));
    ASSERT_TRUE(QDir(elsewhere.path()).mkpath("spi"));
    installPlugins(base.filePath("spi"), {"plain"});
    installPlugins(elsewhere.filePath("spi"), {"second"});
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));

    ScriptedPrompter prompter;
    PluginHost host(
        prompter, [](const QString &, const QString &) {}, base.path());
    host.search(QStringLiteral("spi"));
    QDir::setCurrent(before);
    ASSERT_EQ(host.SPIs1().Count(), 1);
    EXPECT_EQ(host.SPIs1().Plugins(0)->FileName(), base.filePath("spi/plain.spi"));
}
