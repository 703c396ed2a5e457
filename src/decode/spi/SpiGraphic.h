#pragma once
// Pictures decoded by import-filter plug-ins.
#include "decode/spi/SpiDib.h"
#include "decode/spi/SpiManager.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QRect>
#include <QRecursiveMutex>
#include <QString>
#include <exception>
#include <functional>
#include <memory>

enum class SpiProgressStage { psStarting, psRunning, psEnding };

// Thrown by a progress handler to stop the plug-in that is running.
struct SpiAbort {
};

using SpiProgressEvent = std::function<void(const void *sender, SpiProgressStage stage, int percent,
                                            bool redrawNow, const QRect &rect, const QString &message)>;

// The name handed to plug-ins: the path in the local 8-bit encoding, or empty
// when it cannot be represented there (or is too long).
QByteArray ToAnsiPath(const QString &name);

// Runs the plug-in calls for one source and owns the DIB the winner returned.
class TInSPIAbleData
{
public:
    TInSPIAbleData(const void *owner, const QString &fileName) : FOwner(owner), FFileName(fileName) {}
    virtual ~TInSPIAbleData();
    TInSPIAbleData(const TInSPIAbleData &) = delete;
    TInSPIAbleData &operator=(const TInSPIAbleData &) = delete;

    void Load();
    void Clear();
    bool IsEmpty() const { return !FBMInfoHandle || !FBMBitsHandle; }
    bool PictureInfoIsEmpty() const { return !FHasPictureInfo; }

    const void *BMInfo();
    const void *BMBits();
    // The checked layout of the DIB (valid while not empty).
    const DibLayout &Layout() const { return FLayout; }
    const QString &FileName() const { return FFileName; }
    const TPictureInfo &PictureInfo() const { return FPictureInfo; }
    SpiProgressEvent OnProgress;

protected:
    virtual void ReadHeader(char *buffer, qint64 size) = 0;
    virtual void ReadPictureInfo(TInSPI &plugin, int offset, TPictureInfo &info, bool &hasInfo) = 0;
    virtual int CallGetPicture(TInSPI &plugin, int offset, bool preview, HLOCAL *info, HLOCAL *bits) = 0;

    static int PluginProgress(int num, int done, intptr_t data);
    int callPlugin(const std::function<int(SPI_PROGRESS, intptr_t)> &call);

private:
    void ReadPicture(TInSPI &plugin, int offset, bool preview);
    void LoadBy(TInSPI &plugin, const char *buffer, int offset);
    void progress(SpiProgressStage stage, int percent, const QString &message);

    HLOCAL FBMInfoHandle = nullptr;
    HLOCAL FBMBitsHandle = nullptr;
    const void *FBMInfo = nullptr;
    const void *FBMBits = nullptr;
    const void *FOwner;
    QString FFileName;
    TPictureInfo FPictureInfo{};
    bool FHasPictureInfo = false;
    DibLayout FLayout;
    std::exception_ptr FHandlerError;
};

class TInSPIAbleFromFile : public TInSPIAbleData
{
public:
    using TInSPIAbleData::TInSPIAbleData;

protected:
    void ReadHeader(char *buffer, qint64 size) override;
    void ReadPictureInfo(TInSPI &plugin, int offset, TPictureInfo &info, bool &hasInfo) override;
    int CallGetPicture(TInSPI &plugin, int offset, bool preview, HLOCAL *info, HLOCAL *bits) override;
};

class TInSPIAbleFromStream : public TInSPIAbleData
{
public:
    // A QBuffer is used in place; any other device is read whole from its start.
    TInSPIAbleFromStream(const void *owner, QIODevice &stream, const QString &fileName);

protected:
    void ReadHeader(char *buffer, qint64 size) override;
    void ReadPictureInfo(TInSPI &plugin, int offset, TPictureInfo &info, bool &hasInfo) override;
    int CallGetPicture(TInSPI &plugin, int offset, bool preview, HLOCAL *info, HLOCAL *bits) override;

private:
    const char *FSource = nullptr;
    qint64 FSize = 0;
    QByteArray FMemStream;
};

// A graphic that holds one plug-in's decoded DIB.
class TSPIGraphic
{
public:
    TSPIGraphic() = default;
    ~TSPIGraphic() { FreeData(); }

    // Both throw EInvalidGraphic("Susie Plugins could not decode") when no plug-in decodes.
    void LoadFromFile(const QString &fileName);
    void LoadFromStreamWithName(QIODevice &stream, const QString &fileName);
    void LoadFromStream(QIODevice &stream) { LoadFromStreamWithName(stream, QString()); }
    void FreeData();

    bool Empty() const { return !FData || FData->IsEmpty(); }
    int Width();
    int Height(); // biHeight, sign kept
    int ColorCount();
    QVector<QRgb> GetPalette();
    bool PixelFormatIs4bit();
    qint64 InfoSize();
    qint64 BitsSize();

    // The BMP file image of the DIB.
    void SaveToStream(QIODevice &stream);
    // The DIB as an image; the Convert form releases the plug-in's DIB afterwards.
    QImage CreateAndAssignToImage();
    QImage CreateAndConvertToImage();

    SpiProgressEvent OnProgress;

private:
    void LoadData();
    void DecodeInfo();

    std::unique_ptr<TInSPIAbleData> FData;
    bool FDecodedDataBMInfo = false;
};

// A decoded picture; its alternative decoder is the plain BMP reader. A file
// named *.bmp is offered to the BMP reader first, anything else to the plug-ins first.
class TSPIBitmap
{
public:
    // Throw EInvalidGraphic("Susie Plugins could not decode") when nothing decodes.
    void LoadFromFile(const QString &fileName);
    void LoadFromStreamWithName(QIODevice &stream, const QString &fileName);
    void LoadFromStream(QIODevice &stream) { LoadFromStreamWithName(stream, QString()); }
    void Assign(TSPIGraphic &source) { FImage = source.CreateAndAssignToImage(); }

    const QImage &Image() const { return FImage; }
    SpiProgressEvent OnProgress;

private:
    void AssignDecoded(std::unique_ptr<TSPIGraphic> g, QImage plain);
    // Tries the plug-ins and the BMP reader in the chosen order; `rewind` runs after a failed attempt.
    void loadOrdered(bool bmpFirst, const std::function<void(TSPIGraphic &)> &viaPlugins,
                     const std::function<bool(QImage &)> &viaBmp, const std::function<void()> &rewind);
    void ProgressForwarder(const void *sender, SpiProgressStage stage, int percent, bool redrawNow,
                           const QRect &rect, const QString &message);
    QImage FImage;
};

// Decodes a file through the loaded plug-ins (the TSPIBitmap path); false when
// nothing decodes it. The hook the picture loader falls back to.
// Safe to call from a worker thread: it holds SpiLock() while it runs.
bool DecodeWithPlugins(const QString &path, QImage &out);

// Held while plug-ins decode and while the plug-in list changes.
QRecursiveMutex &SpiLock();
