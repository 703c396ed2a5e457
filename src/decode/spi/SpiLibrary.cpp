#include "decode/spi/SpiLibrary.h"

#include "platform/DynamicLibrary.h"
#include "platform/TrustedPath.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

ESPIFOpenErrorSPI::ESPIFOpenErrorSPI(const QString &fileName)
    : ESPIError(QStringLiteral("%1:Susie Pluginがロードできませんでした").arg(fileName))
{
}

ESPIInvalidAPI::ESPIInvalidAPI(const QString &apiName, const QString &fileName)
    : ESPIError(QStringLiteral("%1は[%2]では使えないSusie Plugin APIです").arg(apiName, fileName))
{
}

ESPIDupCreateSPIs::ESPIDupCreateSPIs() : ESPIError(QStringLiteral("TSPIs は複数生成できません")) {}

namespace
{
template <class F> F resolve(void *handle, const char *name)
{
    return reinterpret_cast<F>(DynamicLibrary::symbol(handle, name));
}
} // namespace

TSPI::~TSPI()
{
    DynamicLibrary::close(FDllHandle);
}

void TSPI::load(const QString &fileName)
{
    // The loader searches its own paths for a bare name; always give it a
    // path. Code is loaded only from where nobody else could have put or
    // changed it, and from the file checked, not from what a link names later.
    const QString path = fileName.isEmpty() ? QString() : QFileInfo(fileName).absoluteFilePath();
    QString checked;
    if (!path.isEmpty() && CheckLoadPath(path, &checked) == PathTrust::Trusted)
        FDllHandle = DynamicLibrary::open(checked);
    if (!FDllHandle)
        throw ESPIFOpenErrorSPI(fileName);
    FFileName = path;

    FGetPluginInfo = resolve<TGetPluginInfo>(FDllHandle, "GetPluginInfo");
    FConfigurationDlg = resolve<TConfigurationDlg>(FDllHandle, "ConfigurationDlg");
    FIsSupported = resolve<TIsSupported>(FDllHandle, "IsSupported");
    FGetPictureInfo = resolve<TGetPictureInfo>(FDllHandle, "GetPictureInfo");
    FGetPicture = resolve<TGetPicture>(FDllHandle, "GetPicture");
    FGetPreview = resolve<TGetPreview>(FDllHandle, "GetPreview");
    FGetArchiveInfo = resolve<TGetArchiveInfo>(FDllHandle, "GetArchiveInfo");
    FGetFileInfo = resolve<TGetFileInfo>(FDllHandle, "GetFileInfo");
    FGetFile = resolve<TGetFile>(FDllHandle, "GetFile");

    CheckAPI();

    int r = 0;
    QByteArray s = infoString(0, r);
    if (r > 0)
        FVersion = s;
    s = infoString(1, r);
    if (r > 0)
        FInfomation = s;
    // Pattern/description pairs until one is missing; an unpaired pattern is dropped.
    for (int n = 2;; n += 2) {
        int r1 = 0, r2 = 0;
        const QByteArray ext = infoString(n, r1);
        if (r1 <= 0)
            break;
        const QByteArray type = infoString(n + 1, r2);
        if (r2 <= 0)
            break;
        FExtNames << QString::fromLocal8Bit(ext);
        FFileTypes << QString::fromLocal8Bit(type);
    }
    FEnabled = GetEnabled();
}

QByteArray TSPI::infoString(int infoNo, int &result) const
{
    // One spare byte beyond what the plug-in is told it may write keeps the text terminated.
    char buf[257] = {};
    result = GetPluginInfo(infoNo, buf, 255);
    if (result <= 0)
        return {};
    return QByteArray(buf, int(qstrnlen(buf, 256)));
}

void *TSPI::ProcAddress(const char *procName) const
{
    return DynamicLibrary::symbol(FDllHandle, procName);
}

void TSPI::require(const void *entry, const char *name) const
{
    if (!entry)
        throw ESPIInvalidAPI(QString::fromLatin1(name), FFileName);
}

void TSPI::CheckAPI() const
{
    require(reinterpret_cast<const void *>(FGetPluginInfo), "GetPluginInfo");
}

int TSPI::GetPluginInfo(int infoNo, char *buf, int bufLen) const
{
    require(reinterpret_cast<const void *>(FGetPluginInfo), "GetPluginInfo");
    return FGetPluginInfo(infoNo, buf, bufLen);
}

int TSPI::ConfigurationDlg(void *parent, int fnc) const
{
    require(reinterpret_cast<const void *>(FConfigurationDlg), "ConfigurationDlg");
    return FConfigurationDlg(parent, fnc);
}

void TLoaderSPI::CheckAPI() const
{
    TSPI::CheckAPI();
    require(reinterpret_cast<const void *>(FIsSupported), "IsSupported");
}

int TLoaderSPI::IsSupported(const char *fileName, uintptr_t dw) const
{
    require(reinterpret_cast<const void *>(FIsSupported), "IsSupported");
    return FIsSupported(fileName, dw);
}

void TInSPI::CheckAPI() const
{
    TLoaderSPI::CheckAPI();
    require(reinterpret_cast<const void *>(FGetPictureInfo), "GetPictureInfo");
    require(reinterpret_cast<const void *>(FGetPicture), "GetPicture");
}

int TInSPI::GetPictureInfo(const char *buf, intptr_t len, unsigned flag, TPictureInfo *info) const
{
    require(reinterpret_cast<const void *>(FGetPictureInfo), "GetPictureInfo");
    return FGetPictureInfo(buf, len, flag, info);
}

int TInSPI::GetPicture(const char *buf, intptr_t len, unsigned flag, HLOCAL *hbmInfo, HLOCAL *hbm,
                       SPI_PROGRESS progress, intptr_t data) const
{
    require(reinterpret_cast<const void *>(FGetPicture), "GetPicture");
    return FGetPicture(buf, len, flag, hbmInfo, hbm, progress, data);
}

int TInSPI::GetPreview(const char *buf, intptr_t len, unsigned flag, HLOCAL *hbmInfo, HLOCAL *hbm,
                       SPI_PROGRESS progress, intptr_t data) const
{
    require(reinterpret_cast<const void *>(FGetPreview), "GetPreview");
    return FGetPreview(buf, len, flag, hbmInfo, hbm, progress, data);
}

void TAmSPI::CheckAPI() const
{
    TLoaderSPI::CheckAPI();
    require(reinterpret_cast<const void *>(FGetArchiveInfo), "GetArchiveInfo");
    require(reinterpret_cast<const void *>(FGetFileInfo), "GetFileInfo");
    require(reinterpret_cast<const void *>(FGetFile), "GetFile");
}

int TAmSPI::GetArchiveInfo(const char *buf, intptr_t len, unsigned flag, HLOCAL *fileInfoHandle) const
{
    require(reinterpret_cast<const void *>(FGetArchiveInfo), "GetArchiveInfo");
    return FGetArchiveInfo(buf, len, flag, fileInfoHandle);
}

int TAmSPI::GetFileInfo(const char *buf, intptr_t len, const char *fileName, unsigned flag,
                        TFileInfo *info) const
{
    require(reinterpret_cast<const void *>(FGetFileInfo), "GetFileInfo");
    return FGetFileInfo(buf, len, fileName, flag, info);
}

int TAmSPI::GetFile(const char *src, intptr_t len, char *dest, unsigned flag, SPI_PROGRESS progress,
                    intptr_t data) const
{
    require(reinterpret_cast<const void *>(FGetFile), "GetFile");
    return FGetFile(src, len, dest, flag, progress, data);
}

std::unique_ptr<TSPI> CreatePlugin(const QString &path)
{
    try {
        // The first load only reads the version; the fitting class loads the library
        // again, and the first reference is dropped when `probe` goes out of scope.
        std::unique_ptr<TSPI> probe = TSPI::Create<TSPI>(path);
        const QByteArray v = probe->Version();
        if (v == "00IN")
            return TSPI::Create<TInSPI>(path);
        if (v == "00AM")
            return TSPI::Create<TAmSPI>(path);
        if (v == "00XN")
            return TSPI::Create<TXnSPI>(path);
        return TSPI::Create<TSPI>(path);
    } catch (const ESPIFOpenErrorSPI &) {
        return nullptr;
    } catch (const ESPIInvalidSPI &) {
        return nullptr;
    }
}
