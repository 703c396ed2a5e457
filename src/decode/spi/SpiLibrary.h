#pragma once
// Binding of one decoder plug-in library ("*.spi", loaded with dlopen).
#include "decode/spi/SpiErrors.h"
#include "spi_sdk.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class TSPI
{
public:
    virtual ~TSPI();
    TSPI(const TSPI &) = delete;
    TSPI &operator=(const TSPI &) = delete;

    // Loads the library, checks its exports and reads its information strings.
    // Throws ESPIFOpenErrorSPI or ESPIInvalidAPI; nothing stays loaded then.
    template <class T> static std::unique_ptr<T> Create(const QString &fileName)
    {
        std::unique_ptr<T> p(new T);
        static_cast<TSPI *>(p.get())->load(fileName);
        return p;
    }

    void *DllHandle() const { return FDllHandle; }
    const QString &FileName() const { return FFileName; }
    const QByteArray &Version() const { return FVersion; }
    const QByteArray &Infomation() const { return FInfomation; }
    const QStringList &ExtNames() const { return FExtNames; }
    const QStringList &FileTypes() const { return FFileTypes; }
    bool Enabled() const { return FEnabled; }

    // Address of an export by name, or null.
    void *ProcAddress(const char *procName) const;

    int GetPluginInfo(int infoNo, char *buf, int bufLen) const;
    int ConfigurationDlg(void *parent, int fnc) const;

protected:
    TSPI() = default;
    virtual void CheckAPI() const;
    virtual bool GetEnabled() const { return false; }
    void require(const void *entry, const char *name) const;

    TGetPluginInfo FGetPluginInfo = nullptr;
    TConfigurationDlg FConfigurationDlg = nullptr;
    TIsSupported FIsSupported = nullptr;
    TGetPictureInfo FGetPictureInfo = nullptr;
    TGetPicture FGetPicture = nullptr;
    TGetPreview FGetPreview = nullptr;
    TGetArchiveInfo FGetArchiveInfo = nullptr;
    TGetFileInfo FGetFileInfo = nullptr;
    TGetFile FGetFile = nullptr;

private:
    void load(const QString &fileName);
    QByteArray infoString(int infoNo, int &result) const;

    void *FDllHandle = nullptr;
    QString FFileName;
    QByteArray FVersion;
    QByteArray FInfomation;
    QStringList FExtNames;
    QStringList FFileTypes;
    bool FEnabled = false;
};

class TLoaderSPI : public TSPI
{
public:
    int IsSupported(const char *fileName, uintptr_t dw) const;

protected:
    void CheckAPI() const override;
};

// Import filter ("00IN").
class TInSPI : public TLoaderSPI
{
public:
    int GetPictureInfo(const char *buf, intptr_t len, unsigned flag, TPictureInfo *info) const;
    int GetPicture(const char *buf, intptr_t len, unsigned flag, HLOCAL *hbmInfo, HLOCAL *hbm,
                   SPI_PROGRESS progress, intptr_t data) const;
    int GetPreview(const char *buf, intptr_t len, unsigned flag, HLOCAL *hbmInfo, HLOCAL *hbm,
                   SPI_PROGRESS progress, intptr_t data) const;

protected:
    void CheckAPI() const override;
    bool GetEnabled() const override { return true; }
};

// Archive extractor ("00AM"). Bound but never used by the viewer.
class TAmSPI : public TLoaderSPI
{
public:
    int GetArchiveInfo(const char *buf, intptr_t len, unsigned flag, HLOCAL *fileInfoHandle) const;
    int GetFileInfo(const char *buf, intptr_t len, const char *fileName, unsigned flag,
                    TFileInfo *info) const;
    int GetFile(const char *src, intptr_t len, char *dest, unsigned flag, SPI_PROGRESS progress,
                intptr_t data) const;

protected:
    void CheckAPI() const override;
    bool GetEnabled() const override { return true; }
};

// Export filter ("00XN"); loaded but never enabled.
class TXnSPI : public TSPI
{
};

// Loads the file and returns an object of the class its API version names, or
// null when the file is not a loadable library. ESPIInvalidAPI passes through.
std::unique_ptr<TSPI> CreatePlugin(const QString &path);
