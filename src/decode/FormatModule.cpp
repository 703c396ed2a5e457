#include "decode/FormatModule.h"

#include "decode/ColourProfile.h"
#include "decode/DecodeCancel.h"
#include "decode/FormatNames.h"
#include "platform/AppPaths.h"
#include "platform/DynamicLibrary.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <atomic>
#include <thread>
#include <vector>

namespace
{

struct Module {
    constexpr Module(const char *name, bool (*check)(const FormatCalls &)) : file(name), fits(check) {}
    const char *file;
    // The calls this module must carry.
    bool (*fits)(const FormatCalls &calls);
    QMutex mutex; // made before, and gone after, any thread that loads
    const FormatCalls *calls = nullptr;
    bool settled = false;
    std::atomic<bool> askedFor{false};
};

Module rawModule{"glimmerdeck-raw.so", [](const FormatCalls &c) { return c.decodeRaw && c.decodeRawFrom; }};
Module codecModule{"glimmerdeck-formats.so", [](const FormatCalls &c) {
                       return c.decodeHeif && c.decodeAvif && c.decodeJpegXl && c.openAvifFrames &&
                              c.openJpegXlFrames && c.convertToDisplaySpace && c.setDisplayProfile &&
                              c.iccFromCicp;
                   }};

Module &moduleOf(FormatModuleKind kind)
{
    return kind == FormatModuleKind::Raw ? rawModule : codecModule;
}

QStringList modulePaths(const QString &name)
{
    QStringList paths;
    // Beside the executable (the build tree), then the library folders of
    // an installed tree, moved or not, then where it was built.
    if (QCoreApplication::instance()) {
        const QString exeFolder = QCoreApplication::applicationDirPath();
        paths << exeFolder + u'/' + name;
        for (const QString &lib : AppPaths::installLibDirs())
            paths << QDir::cleanPath(exeFolder + QStringLiteral("/../") + lib +
                                     QStringLiteral("/glimmerdeck/") + name);
    }
    paths << QStringLiteral(GD_FORMAT_MODULE_DIR "/") + name;
    paths << QStringLiteral(GD_FORMAT_MODULE_BUILT "/") + name;
    return paths;
}

const FormatCalls *load(const Module &module)
{
    for (const QString &path : modulePaths(QString::fromLatin1(module.file))) {
        if (!QFileInfo(path).isFile())
            continue;
        void *handle = DynamicLibrary::open(path);
        if (!handle)
            continue;
        const auto entry =
            reinterpret_cast<FormatModuleEntry>(DynamicLibrary::symbol(handle, GD_FORMAT_MODULE_ENTRY));
        const FormatCalls *calls = entry ? entry(kFormatCallsVersion, DecodeCancelled) : nullptr;
        if (calls && module.fits(*calls))
            return calls; // kept loaded: its pictures and frame sources may live on
        DynamicLibrary::close(handle);
    }
    return nullptr;
}

// A display profile other than sRGB has been given: sRGB pictures need converting too.
std::atomic<bool> displayProfileGiven{false};
// The profile itself, handed to the colour library when it loads (guarded
// by the codec module's mutex).
QByteArray &displayProfile()
{
    static QByteArray icc;
    return icc;
}

// The thread that loads modules ahead of need; the program waits for it
// at exit rather than unload libraries under it.
// at exit rather than unload libraries under it. One per module at most.
struct AheadLoader {
    std::vector<std::thread> threads;
    ~AheadLoader()
    {
        for (std::thread &t : threads)
            t.join();
    }
};

} // namespace

const FormatCalls *FormatModule(FormatModuleKind kind)
{
    Module &m = moduleOf(kind);
    m.askedFor = true;
    QMutexLocker lock(&m.mutex);
    if (!m.settled) {
        m.calls = load(m);
        if (m.calls && &m == &codecModule && !displayProfile().isEmpty())
            m.calls->setDisplayProfile(displayProfile());
        // Before the application object exists (a picture decoded while the
        // program starts) the folder beside the executable is not known
        // yet: a module not found then is looked for again later.
        m.settled = m.calls || QCoreApplication::instance();
    }
    return m.calls;
}

std::optional<FormatModuleKind> FormatModuleFor(const QString &path)
{
    if (HasRawExtension(path))
        return FormatModuleKind::Raw;
    if (NeedsFormatModule(path))
        return FormatModuleKind::Codecs;
    return std::nullopt;
}

void LoadFormatModulesSoonFor(const QStringList &paths)
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    if (rawModule.askedFor && codecModule.askedFor)
        return;
    std::vector<FormatModuleKind> wanted;
    for (const QString &path : paths) {
        const std::optional<FormatModuleKind> kind = FormatModuleFor(path);
        if (!kind || moduleOf(*kind).askedFor.exchange(true))
            continue;
        wanted.push_back(*kind);
        if (rawModule.askedFor && codecModule.askedFor)
            break;
    }
    if (wanted.empty())
        return;
    static AheadLoader loader;
    loader.threads.emplace_back([wanted] {
        for (FormatModuleKind kind : wanted)
            FormatModule(kind);
    });
}

bool FormatModuleAskedFor(FormatModuleKind kind)
{
    return moduleOf(kind).askedFor.load();
}

// ---- the decoders' own names, forwarded

FormatResult DecodeRaw(QByteArrayView data, QSize area, bool turn, bool develop, RawPicture &out)
{
    const FormatCalls *m = FormatModule(FormatModuleKind::Raw);
    return m ? m->decodeRaw(data, area, turn, develop, out) : FormatResult::Broken;
}

FormatResult DecodeRawFrom(const RawReader &read, qint64 size, QSize area, bool turn, bool develop,
                           RawPicture &out)
{
    const FormatCalls *m = FormatModule(FormatModuleKind::Raw);
    return m ? m->decodeRawFrom(read, size, area, turn, develop, out) : FormatResult::Broken;
}

FormatResult DecodeHeif(QByteArrayView data, DecodedStill &out)
{
    const FormatCalls *m = FormatModule(FormatModuleKind::Codecs);
    return m ? m->decodeHeif(data, out) : FormatResult::Broken;
}

FormatResult DecodeAvif(QByteArrayView data, DecodedStill &out)
{
    const FormatCalls *m = FormatModule(FormatModuleKind::Codecs);
    return m ? m->decodeAvif(data, out) : FormatResult::Broken;
}

FormatResult DecodeJpegXl(QByteArrayView data, DecodedStill &out)
{
    const FormatCalls *m = FormatModule(FormatModuleKind::Codecs);
    return m ? m->decodeJpegXl(data, out) : FormatResult::Broken;
}

std::unique_ptr<FrameSource> OpenAvifFrames(const QByteArray &data)
{
    const FormatCalls *m = FormatModule(FormatModuleKind::Codecs);
    return m ? m->openAvifFrames(data) : nullptr;
}

std::unique_ptr<FrameSource> OpenJpegXlFrames(const QByteArray &data)
{
    const FormatCalls *m = FormatModule(FormatModuleKind::Codecs);
    return m ? m->openJpegXlFrames(data) : nullptr;
}

bool ConvertToDisplaySpace(QImage &image, const QByteArray &icc)
{
    if (icc.isEmpty() || image.isNull())
        return false; // the common case: nothing to convert, nothing to load
    // An sRGB profile, as most cameras embed, onto an sRGB display: Qt
    // recognises it without the colour library.
    if (!displayProfileGiven.load() && QColorSpace::fromIccProfile(icc) == QColorSpace(QColorSpace::SRgb))
        return false;
    const FormatCalls *m = FormatModule(FormatModuleKind::Codecs);
    return m && m->convertToDisplaySpace(image, icc);
}

void SetDisplayProfile(const QByteArray &icc)
{
    // Kept for the colour library, which is loaded on first need (or is
    // loading ahead on another thread): it gets the profile once there.
    QMutexLocker lock(&codecModule.mutex);
    displayProfile() = icc;
    displayProfileGiven = !icc.isEmpty();
    if (codecModule.calls)
        codecModule.calls->setDisplayProfile(icc);
}

QByteArray IccFromCicp(int primaries, int transfer)
{
    const FormatCalls *m = FormatModule(FormatModuleKind::Codecs);
    return m ? m->iccFromCicp(primaries, transfer) : QByteArray();
}
