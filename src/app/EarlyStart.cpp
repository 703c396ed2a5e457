#include "app/EarlyStart.h"

#include "app/CommandLine.h"
#include "common/PathUtil.h"
#include "common/ViewerState.h"
#include "decode/FormatNames.h"
#include "platform/AppPaths.h"
#include "platform/FileTree.h"
#include "settings/SettingsStore.h"

#include <QCollator>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QStandardPaths>
#include <QStringList>
#include <QThreadPool>
#include <dlfcn.h>
#include <system_error>
#include <thread>

namespace
{

// Qt's own options that take a value; QApplication takes them out of the
// arguments before the viewer sees them.
const QStringList kQtValueOptions = {
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
    QStringLiteral("display"),         QStringLiteral("geometry"),
    QStringLiteral("qwindowgeometry"), QStringLiteral("title"),
    QStringLiteral("qwindowtitle"),    QStringLiteral("icon"),
    QStringLiteral("qwindowicon"),     QStringLiteral("name"),
    QStringLiteral("style"),           QStringLiteral("stylesheet"),
    QStringLiteral("session"),         QStringLiteral("visual"),
    QStringLiteral("ncols"),           QStringLiteral("cmap"),
};

QStringList withoutQtOptions(const QStringList &args)
{
    QStringList out;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--")) { // the rest are paths
            out += args.mid(i);
            break;
        }
        if (a.size() > 1 && a.startsWith(QLatin1Char('-'))) {
            const QString name =
                a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1).section(QLatin1Char('='), 0, 0);
            if (!a.contains(QLatin1Char('=')) && kQtValueOptions.contains(name))
                ++i;
            continue;
        }
        out << a;
    }
    return out;
}

// The types Qt reads on a usual desktop, and those of the format modules.
// The real list comes from the image plug-ins, which cannot be asked before
// the application object exists; a guess that misses only costs the early
// decode.
bool looksLikePicture(const QString &path)
{
    static const QStringList kQtTypes = {
        QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"),  QStringLiteral("jfif"),
        QStringLiteral("png"), QStringLiteral("gif"),  QStringLiteral("bmp"),  QStringLiteral("webp"),
        QStringLiteral("tif"), QStringLiteral("tiff"), QStringLiteral("ico"),  QStringLiteral("tga"),
        QStringLiteral("pbm"), QStringLiteral("pgm"),  QStringLiteral("ppm"),  QStringLiteral("xbm"),
        QStringLiteral("xpm"), QStringLiteral("svg"),  QStringLiteral("svgz"),
    };
    QString e = LowerExt(path);
    if (e.startsWith(QLatin1Char('.')))
        e.remove(0, 1);
    return kQtTypes.contains(e) || NeedsFormatModule(path);
}

// The folder's first picture in name order, as the list will order it.
QString firstPictureIn(const QString &folder)
{
    const QString base = WithBackslash(folder);
    QStringList paths;
    ForEachFile(folder, [&](const QString &name) {
        if (looksLikePicture(name))
            paths << base + name;
    });
    if (paths.isEmpty())
        return QString();
    PictureList::sortByName(paths);
    return paths.first();
}

// The font configuration (some sixty files) is read while Qt starts: the
// first window waits for Qt's font list, which reads it otherwise. The
// library is Qt's own, already loaded; reading it twice is safe, it keeps
// the first.
void readFontConfigurationAhead()
{
    auto init = reinterpret_cast<int (*)()>(dlsym(RTLD_DEFAULT, "FcInit"));
    if (!init)
        return;
    try {
        std::thread([init] { init(); }).detach();
    } catch (const std::system_error &) {
        // no thread to spare: Qt reads it when it needs it
    }
}

} // namespace

namespace EarlyStart
{

QString settingsFileBeforeApplication()
{
    const QFileInfo exe(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")));
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/glimmerdeck");
    const QString folder = AppPaths::resolveApplicationFolder(qEnvironmentVariable("GLIMMERDECK_HOME"),
                                                              exe.absolutePath(), config);
    const QString base =
        exe.completeBaseName().isEmpty() ? QStringLiteral("glimmerdeck") : exe.completeBaseName();
    return folder + u'/' + base + QStringLiteral(".ini");
}

EarlyPicture::Request chooseFirstPicture(const QStringList &args, const QString &settingsFile)
{
    EarlyPicture::Request none;
    ViewerState st;
    // The window's initial size stands in for a missing stored one.
    const bool maximized =
        SettingsStore(settingsFile).load(st.settings, WindowGeometry{0, 0, 620, 463}, st.RepeatMode);
    if (st.settings.Tool.State != 0)
        return none; // spreads: two pictures, each in half the window

    QString first;
    bool fullScreen = false;
    CommandLineEnvironment env;
    env.onStep = [&](const CommandLineStep &step) {
        if (step.kind == CommandLineStep::Kind::ToggleFullScreen)
            fullScreen = true;
        else if (step.kind == CommandLineStep::Kind::AddPath && first.isEmpty())
            first = step.path;
    };
    ApplyCommandLine(withoutQtOptions(args), st, env);
    if (first.isEmpty() || fullScreen)
        return none;

    EarlyPicture::Request request;
    const QFileInfo fi(first);
    if (fi.isDir())
        request.path = firstPictureIn(first);
    else if (fi.isFile() && looksLikePicture(first))
        request.path = first;
    if (!maximized && st.settings.Window.Width > 0 && st.settings.Window.Height > 0)
        request.bound = QSize(st.settings.Window.Width, st.settings.Window.Height);
    request.autoRotate = st.AutoRotate;
    return request;
}

void applicationReady()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    EarlyPicture::applicationReady(screen ? screen->availableGeometry().size() * screen->devicePixelRatio()
                                          : QSize());
    // Qt's list of the installed fonts takes several milliseconds to make
    // and is shared by all threads, so it is made here while the window is
    // put together. Likewise every image plug-in, loaded to ask what it
    // reads. (A Japanese face opened here would not serve the main thread:
    // each thread opens its own, and the start waits longer for the cores.)
    QThreadPool::globalInstance()->start([] { QImageReader::supportedImageFormats(); });
    QThreadPool::globalInstance()->start([] {
        QFontDatabase::families();
        // The locale's collation rules, which the list's name order needs
        // (already loaded when the early thread sorted a folder).
        QCollator().compare(QStringLiteral("a"), QStringLiteral("b"));
    });
}

void begin(int argc, char **argv)
{
    readFontConfigurationAhead();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    EarlyPicture::begin([args] { return chooseFirstPicture(args, settingsFileBeforeApplication()); });
}

} // namespace EarlyStart
