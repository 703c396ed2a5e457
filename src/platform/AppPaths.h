#pragma once
// Where the viewer keeps its files: the application folder (settings,
// history, camera rules), and where it finds the files that ship with it
// (help page, icon, plug-ins) in a build folder or an installed tree.
#include <QString>
#include <QStringList>

namespace AppPaths
{

// The folder given by GLIMMERDECK_HOME when set (created if missing);
// otherwise the executable's folder when it is writable (portable use);
// otherwise ~/.config/glimmerdeck (created).
QString applicationFolder();

// The choice above from explicit inputs; empty envHome means "not set".
QString resolveApplicationFolder(const QString &envHome, const QString &exeFolder,
                                 const QString &configFolder);

// Application folder + executable base name + ".ini" ("glimmerdeck.ini").
QString settingsPath();

// The camera naming rules file in the application folder.
QString dcimRulePath();

// Folders that may hold the shipped data files, in search order: beside the
// executable (build folder, portable copy), then <exe>/../share/glimmerdeck
// (an installed tree moved anywhere), then the folder configured at build time.
QStringList dataFolders(const QString &exeFolder, const QString &configuredDataFolder);

// Folders that may hold the shipped plug-ins, in search order: <exe>/plugins,
// <exe>/../<libDir>/glimmerdeck/plugins for each of libDirs (library folders
// relative to the install prefix: "lib", "lib/x86_64-linux-gnu", ...), then
// the folder configured at build time.
QStringList pluginFolders(const QString &exeFolder, const QString &configuredPluginFolder,
                          const QStringList &libDirs);

// The library folders an installed tree may use: "lib", the multiarch form
// and the one configured at build time.
QStringList installLibDirs();

// The first of `folders` holding a file `name`; empty when none does.
QString findFile(const QString &name, const QStringList &folders);

// "help.html" from the data folders; when none has it, the path beside the
// executable (so the help window can say what it looked for).
QString helpFilePath();
QString resolveHelpFilePath(const QString &exeFolder, const QString &configuredDataFolder);

// The program's icon "glimmerdeck.svg" from the data folders or the icon
// theme folder of an installed tree; empty when none is found.
QString iconFilePath();
QString resolveIconFilePath(const QString &exeFolder, const QString &configuredDataFolder);

// The first existing folder of pluginFolders(); the configured one when none exists.
QString pluginFolder();
QString resolvePluginFolder(const QString &exeFolder, const QString &configuredPluginFolder,
                            const QStringList &libDirs);

} // namespace AppPaths
