#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

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

QString resolveHelpFilePath(const QString &exeFolder, const QString &dataFolder)
{
    const QString beside = exeFolder + QStringLiteral("/help.html");
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = dataFolder + QStringLiteral("/help.html");
    if (QFileInfo::exists(installed))
        return installed;
    return beside;
}

QString helpFilePath()
{
    return resolveHelpFilePath(executableFolder(), QStringLiteral(GD_DATA_DIR));
}

QString dcimRulePath()
{
    return applicationFolder() + QStringLiteral("/DCIM_rule.dat");
}

} // namespace AppPaths
