#include "decode/FormatModule.h"

#include "decode/ColourProfile.h"
#include "decode/DecodeCancel.h"
#include "platform/AppPaths.h"
#include "platform/DynamicLibrary.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <atomic>

namespace
{

QStringList modulePaths()
{
    const QString name = QStringLiteral(GD_FORMAT_MODULE_NAME);
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
    paths << QStringLiteral(GD_FORMAT_MODULE_BUILT);
    return paths;
}

const FormatCalls *load()
{
    for (const QString &path : modulePaths()) {
        if (!QFileInfo(path).isFile())
            continue;
        void *handle = DynamicLibrary::open(path);
        if (!handle)
            continue;
        const auto entry =
            reinterpret_cast<FormatModuleEntry>(DynamicLibrary::symbol(handle, GD_FORMAT_MODULE_ENTRY));
        if (const FormatCalls *calls = entry ? entry(kFormatCallsVersion, DecodeCancelled) : nullptr)
            return calls; // kept loaded: its pictures and frame sources may live on
        DynamicLibrary::close(handle);
    }
    return nullptr;
}

// A display profile other than sRGB has been given: sRGB pictures need converting too.
std::atomic<bool> displayProfileGiven{false};
} // namespace

const FormatCalls *FormatModule()
{
    static QMutex mutex;
    static const FormatCalls *calls = nullptr;
    static bool settled = false;
    QMutexLocker lock(&mutex);
    if (!settled) {
        calls = load();
        // Before the application object exists (a picture decoded while the
        // program starts) the folder beside the executable is not known
        // yet: a module not found then is looked for again later.
        settled = calls || QCoreApplication::instance();
    }
    return calls;
}

// ---- the decoders' own names, forwarded

FormatResult DecodeRaw(QByteArrayView data, QSize area, bool turn, bool develop, RawPicture &out)
{
    const FormatCalls *m = FormatModule();
    return m ? m->decodeRaw(data, area, turn, develop, out) : FormatResult::Broken;
}

FormatResult DecodeRawFrom(const RawReader &read, qint64 size, QSize area, bool turn, bool develop,
                           RawPicture &out)
{
    const FormatCalls *m = FormatModule();
    return m ? m->decodeRawFrom(read, size, area, turn, develop, out) : FormatResult::Broken;
}

FormatResult DecodeHeif(QByteArrayView data, DecodedStill &out)
{
    const FormatCalls *m = FormatModule();
    return m ? m->decodeHeif(data, out) : FormatResult::Broken;
}

FormatResult DecodeAvif(QByteArrayView data, DecodedStill &out)
{
    const FormatCalls *m = FormatModule();
    return m ? m->decodeAvif(data, out) : FormatResult::Broken;
}

FormatResult DecodeJpegXl(QByteArrayView data, DecodedStill &out)
{
    const FormatCalls *m = FormatModule();
    return m ? m->decodeJpegXl(data, out) : FormatResult::Broken;
}

std::unique_ptr<FrameSource> OpenAvifFrames(const QByteArray &data)
{
    const FormatCalls *m = FormatModule();
    return m ? m->openAvifFrames(data) : nullptr;
}

std::unique_ptr<FrameSource> OpenJpegXlFrames(const QByteArray &data)
{
    const FormatCalls *m = FormatModule();
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
    const FormatCalls *m = FormatModule();
    return m && m->convertToDisplaySpace(image, icc);
}

void SetDisplayProfile(const QByteArray &icc)
{
    displayProfileGiven = !icc.isEmpty();
    if (const FormatCalls *m = FormatModule())
        m->setDisplayProfile(icc);
}

QByteArray IccFromCicp(int primaries, int transfer)
{
    const FormatCalls *m = FormatModule();
    return m ? m->iccFromCicp(primaries, transfer) : QByteArray();
}
