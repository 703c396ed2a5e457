#pragma once
// Where the viewer keeps its files: the application folder (settings,
// history, camera rules) and the help page.
#include <QString>

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

// "help.html" beside the executable, else in the installed data folder.
// When neither exists, the path beside the executable.
QString helpFilePath();
QString resolveHelpFilePath(const QString &exeFolder, const QString &dataFolder);

// The camera naming rules file in the application folder.
QString dcimRulePath();

} // namespace AppPaths
