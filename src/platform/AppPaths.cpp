#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

#ifndef GD_LIBRARY_ARCH
#define GD_LIBRARY_ARCH ""
#endif
#ifndef GD_INSTALL_LIBDIR
#define GD_INSTALL_LIBDIR "lib"
#endif

namespace
{

QString executableFolder()
{
    const QString dir = QCoreApplication::applicationDirPath();
    return dir.isEmpty() ? QDir::currentPath() : dir;
}

QString executableBaseName()
{
    const QString exe = QCoreApplication::applicationFilePath();
    const QString base = exe.isEmpty() ? QString() : QFileInfo(exe).completeBaseName();
    return base.isEmpty() ? QStringLiteral("glimmerdeck") : base;
}

bool isWritableFolder(const QString &dir)
{
    const QFileInfo info(dir);
    return info.isDir() && ::access(QFile::encodeName(dir).constData(), W_OK | X_OK) == 0;
}

// Adds a folder once, in clean form; empty ones are skipped.
void addFolder(QStringList &list, const QString &folder)
{
    if (folder.isEmpty())
        return;
    const QString clean = QDir::cleanPath(folder);
    if (!list.contains(clean))
        list << clean;
}

const QString kIconName = QStringLiteral("glimmerdeck.svg");
const QString kIconThemeFolder = QStringLiteral("icons/hicolor/scalable/apps");

} // namespace

namespace AppPaths
{

QString resolveApplicationFolder(const QString &envHome, const QString &exeFolder,
                                 const QString &configFolder)
{
    QString dir;
    if (!envHome.isEmpty())
        dir = envHome;
    else if (!exeFolder.isEmpty() && isWritableFolder(exeFolder))
        dir = exeFolder;
    else
        dir = configFolder;
    dir = QDir::cleanPath(QDir(dir).absolutePath());
    QDir().mkpath(dir);
    return dir;
}

QString applicationFolder()
{
    const QString env = qEnvironmentVariable("GLIMMERDECK_HOME");
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/glimmerdeck");
    return resolveApplicationFolder(env, executableFolder(), config);
}

QString settingsPath()
{
    return applicationFolder() + u'/' + executableBaseName() + QStringLiteral(".ini");
}

QString dcimRulePath()
{
    return applicationFolder() + QStringLiteral("/DCIM_rule.dat");
}

QStringList dataFolders(const QString &exeFolder, const QString &configuredDataFolder)
{
    QStringList list;
    if (!exeFolder.isEmpty()) {
        addFolder(list, exeFolder);
        addFolder(list, exeFolder + QStringLiteral("/../share/glimmerdeck"));
    }
    addFolder(list, configuredDataFolder);
    return list;
}

QStringList pluginFolders(const QString &exeFolder, const QString &configuredPluginFolder,
                          const QStringList &libDirs)
{
    QStringList list;
    if (!exeFolder.isEmpty()) {
        addFolder(list, exeFolder + QStringLiteral("/plugins"));
        for (const QString &lib : libDirs) {
            if (!lib.isEmpty() && QDir::isRelativePath(lib))
                addFolder(list,
                          exeFolder + QStringLiteral("/../") + lib + QStringLiteral("/glimmerdeck/plugins"));
        }
    }
    addFolder(list, configuredPluginFolder);
    return list;
}

QStringList installLibDirs()
{
    QStringList dirs{QStringLiteral("lib")};
    const QString arch = QStringLiteral(GD_LIBRARY_ARCH);
    if (!arch.isEmpty())
        dirs << QStringLiteral("lib/") + arch;
    const QString configured = QStringLiteral(GD_INSTALL_LIBDIR);
    if (!dirs.contains(configured))
        dirs << configured;
    return dirs;
}

QString findFile(const QString &name, const QStringList &folders)
{
    for (const QString &folder : folders) {
        const QString path = folder + u'/' + name;
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

QString resolveHelpFilePath(const QString &exeFolder, const QString &configuredDataFolder)
{
    const QString name = QStringLiteral("help.html");
    const QString found = findFile(name, dataFolders(exeFolder, configuredDataFolder));
    return found.isEmpty() ? QDir::cleanPath(exeFolder + u'/' + name) : found;
}

QString helpFilePath()
{
    return resolveHelpFilePath(executableFolder(), QStringLiteral(GD_DATA_DIR));
}

QString resolveIconFilePath(const QString &exeFolder, const QString &configuredDataFolder)
{
    // Installed, the icon sits in the icon theme beside the data folder; an
    // installed tree that was moved is searched before the configured one.
    QStringList folders;
    if (!exeFolder.isEmpty()) {
        for (const QString &f : dataFolders(exeFolder, QString()))
            addFolder(folders, f);
        addFolder(folders, exeFolder + QStringLiteral("/../share/") + kIconThemeFolder);
    }
    if (!configuredDataFolder.isEmpty()) {
        addFolder(folders, configuredDataFolder);
        addFolder(folders, configuredDataFolder + QStringLiteral("/../") + kIconThemeFolder);
    }
    return findFile(kIconName, folders);
}

QString iconFilePath()
{
    return resolveIconFilePath(executableFolder(), QStringLiteral(GD_DATA_DIR));
}

QString resolvePluginFolder(const QString &exeFolder, const QString &configuredPluginFolder,
                            const QStringList &libDirs)
{
    for (const QString &folder : pluginFolders(exeFolder, configuredPluginFolder, libDirs)) {
        if (QFileInfo(folder).isDir())
            return folder;
    }
    return QDir::cleanPath(configuredPluginFolder);
}

QString pluginFolder()
{
    return resolvePluginFolder(executableFolder(), QStringLiteral(GD_PLUGIN_DIR), installLibDirs());
}

} // namespace AppPaths
