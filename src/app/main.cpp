#include "app/CommandLine.h"
#include "app/EarlyStart.h"
#include "app/ui/AppSetup.h"
#include "app/ui/BenchProbe.h"
#include "app/ui/FirstFrame.h"
#include "app/ui/MainWindow.h"
#include "app/ui/ScreenProfile.h"
#include "app/ui/WindowFrame.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    // --help and --version answer without starting the window system.
    switch (FindInfoRequest(args)) {
    case InfoRequest::Help:
        std::fputs(UsageText(QStringLiteral("glimmerdeck")).toLocal8Bit().constData(), stdout);
        return 0;
    case InfoRequest::Version:
        std::fputs(VersionOutput().toLocal8Bit().constData(), stdout);
        return 0;
    case InfoRequest::None:
        break;
    }

    // Qt sees only what comes before "--"; the rest are paths.
    int qtArgc = QtArgumentCount(argc, argv);
    const QStringList afterQt = args.mid(qtArgc - 1); // "--" and what follows
    if (!AppSetup::checkDisplay(qtArgc, argv))
        return 1; // one clear line instead of Qt's abort
    // The first picture starts decoding now, beside the window system's start.
    EarlyStart::begin(argc, argv);
    QApplication app(qtArgc, argv);
    EarlyStart::applicationReady();
    QApplication::setApplicationName(QStringLiteral("glimmerdeck"));
    // No display name: Qt would append it to every window caption, and the
    // captions are exactly what the viewer sets.
    QApplication::setDesktopFileName(QStringLiteral("glimmerdeck"));
    QApplication::setQuitOnLastWindowClosed(false);
    AppSetup::loadQtTranslations(app);
    // Pictures with a profile of their own are converted into the screen's.
    UseScreenProfile();
    // The icon is an SVG drawn at several sizes when a window is made: it
    // waits until the first picture is on screen.
    QTimer::singleShot(200, &app, [] { AppSetup::setWindowIcon(); });
    BenchProbe::installFromEnvironment(); // benchmarks only; inert unless GLIMMERDECK_BENCH is set

    // Qt has taken its own options (-platform, ...) out of the arguments by now.
    args = QCoreApplication::arguments().mid(1) + afterQt;
    // Log-out, Ctrl+C and a closed terminal close the viewer as its close
    // button does. One arriving while the window is still being built (in a
    // message box it shows, say) ends the loops running and closes the
    // window once it exists.
    TerminationSignals termination;
    MainWindow *window = nullptr;
    bool closeAtOnce = false;
    QObject::connect(&termination, &TerminationSignals::received, [&] {
        if (window) {
            window->close();
        } else {
            closeAtOnce = true;
            QCoreApplication::exit();
        }
    });
    termination.start();
    // The installation's folders are found once, here.
    MainWindow w(args, nullptr, nullptr, ResolveViewerFolders());
    window = &w;
    if (closeAtOnce) {
        w.close();
        return 0;
    }
    if (w.startsHidden())
        w.runFirstShow(); // full screen from the command line: the main window waits hidden
    else
        w.show();
    WarmBackingStore(&w);
    // A first picture that became ready while the window was being built
    // goes into the window's first frame, not a second one after it; so
    // does one that became ready while the window manager framed it.
    EarlyPicture::deliverReady();
    if (w.isVisible())
        AsSoonAsExposed(w.windowHandle(), &w, [] { EarlyPicture::deliverReady(); });
    if (!w.isVisible() && !w.startsHidden())
        return 0; // closed meanwhile (a signal during a message box)
    const int status = app.exec();
    EarlyPicture::release();
    return status;
}
