#pragma once
// Start-up steps around QApplication that concern the desktop rather than the
// viewer: is there a display at all, Qt's own texts in Japanese, the icon.
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace AppSetup
{

// The one-line complaint when Qt would need a display and none is given;
// empty when one is set or the platform needs none (offscreen, eglfs, ...).
// `args` are the program's arguments (a -platform or -display there counts),
// the rest the values of QT_QPA_PLATFORM, DISPLAY and WAYLAND_DISPLAY.
QString missingDisplayMessage(const QStringList &args, const QString &qpaPlatform, const QString &display,
                              const QString &waylandDisplay);

// Before QApplication: prints the complaint above to stderr and returns false
// when there is no display; true otherwise.
bool checkDisplay(int argc, char **argv);

// Installs Qt's Japanese translations (file dialogs, message-box buttons)
// from `folder`, Qt's own translations folder when empty. False, with nothing
// installed, when the file is missing: Qt's English texts then stay.
bool loadQtTranslations(QCoreApplication &app, const QString &folder = QString());

// Gives every window the program's icon.
void setWindowIcon();

} // namespace AppSetup
