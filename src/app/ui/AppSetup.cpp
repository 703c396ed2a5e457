#include "app/ui/AppSetup.h"

#include "common/ui/AboutBox.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

namespace
{

// Qt takes "-platform NAME" (or "--platform NAME") from anywhere in the
// arguments before the environment; xcb also takes "-display NAME".
void scanArguments(const QStringList &args, QString &platform, bool &displayArg)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString a = args[i];
        if (a.startsWith(QLatin1String("--")))
            a.remove(0, 1);
        if (a == QLatin1String("-platform") && i + 1 < args.size())
            platform = args[++i];
        else if (a == QLatin1String("-display") && i + 1 < args.size())
            displayArg = true, ++i;
    }
}

// "xcb", "wayland" and "wayland-egl" talk to a display server; a list such as
// "wayland;xcb" needs one only when every entry does.
bool needsDisplayServer(const QString &platform)
{
    if (platform.trimmed().isEmpty())
        return true; // the default on Linux desktops is xcb or wayland
    for (const QString &entry : platform.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        if (name != QLatin1String("xcb") && !name.startsWith(QLatin1String("wayland")))
            return false;
    }
    return true;
}

} // namespace

namespace AppSetup
{

QString missingDisplayMessage(const QStringList &args, const QString &qpaPlatform, const QString &display,
                              const QString &waylandDisplay)
{
    QString platform = qpaPlatform;
    bool displayArg = false;
    scanArguments(args, platform, displayArg);
    if (displayArg || !display.isEmpty() || !waylandDisplay.isEmpty() || !needsDisplayServer(platform))
        return QString();
    return QStringLiteral("glimmerdeck: no display found; set DISPLAY or WAYLAND_DISPLAY "
                          "(画面が見つかりません。DISPLAY か WAYLAND_DISPLAY を設定してください)");
}

bool checkDisplay(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QString message =
        missingDisplayMessage(args, qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
                              qEnvironmentVariable("WAYLAND_DISPLAY"));
    if (message.isEmpty())
        return true;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return false;
}

bool loadQtTranslations(QCoreApplication &app, const QString &folder)
{
    // The viewer speaks Japanese whatever the locale, so Qt's dialogs do too.
    const QString dir = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
    auto *translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                          QStringLiteral("_"), dir) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

void setWindowIcon()
{
    QApplication::setWindowIcon(TfAbout::programIcon());
}

} // namespace AppSetup
