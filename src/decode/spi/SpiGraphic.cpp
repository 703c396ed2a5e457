#include "decode/spi/SpiGraphic.h"

#include "decode/DecodeLimits.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <climits>
#include <vector>

namespace
{
const QString kCouldNotDecode = QStringLiteral("Susie Plugins could not decode");
constexpr int kHeaderSize = 2048 + 128;
constexpr int kMacBinaryOffsets[] = {0, 128};

// Releases a pair of plug-in blocks, never the same block twice.
void releasePair(HLOCAL &info, HLOCAL &bits)
{
    if (info) {
        LocalUnlock(info);
        LocalFree(info);
    }
    if (bits && bits != info) {
        LocalUnlock(bits);
        LocalFree(bits);
    }
    info = bits = nullptr;
}
} // namespace

QByteArray ToAnsiPath(const QString &name)
{
    if (name.isEmpty())
        return {};
    const QByteArray a = QFile::encodeName(name);
    if (QFile::decodeName(a) != name || a.contains('\0') || a.size() >= PATH_MAX)
        return {};
    return a;
}

// ---- TInSPIAbleData ----

TInSPIAbleData::~TInSPIAbleData()
{
    Clear();
}

void TInSPIAbleData::Clear()
{
    releasePair(FBMInfoHandle, FBMBitsHandle);
    FBMInfo = FBMBits = nullptr;
    if (FPictureInfo.HInfo)
        LocalFree(FPictureInfo.HInfo);
    FPictureInfo = TPictureInfo{};
    FHasPictureInfo = false;
    FLayout = DibLayout{};
}

const void *TInSPIAbleData::BMInfo()
{
    if (!FBMInfo && FBMInfoHandle)
        FBMInfo = LocalLock(FBMInfoHandle);
    return FBMInfo;
}

const void *TInSPIAbleData::BMBits()
{
    if (!FBMBits && FBMBitsHandle)
        FBMBits = LocalLock(FBMBitsHandle);
    return FBMBits;
}

void TInSPIAbleData::progress(SpiProgressStage stage, int percent, const QString &message)
{
    if (OnProgress)
        OnProgress(FOwner, stage, percent, stage == SpiProgressStage::psEnding, QRect(0, 0, 0, 0), message);
}

void TInSPIAbleData::Load()
{
    TSPIs *spis = TSPIs::Instance();
    const int rounds = (spis && spis->MacBinary) ? 2 : 1;
    progress(SpiProgressStage::psStarting, 0, QStringLiteral("Loading Graphic by Susie Plugin"));
    try {
        Clear();
        progress(SpiProgressStage::psRunning, 1, QStringLiteral("Seeking enabled Susie Plugins"));
        std::vector<TSPI *> candidates;
        if (spis) {
            if (spis->GraphicForcedLoader)
                candidates.push_back(spis->GraphicForcedLoader);
            else
                spis->FindPluginList<TInSPI>(FFileName, candidates);
        }
        std::vector<char> header(kHeaderSize, 0);
        if (!candidates.empty())
            ReadHeader(header.data(), kHeaderSize);
        for (TSPI *p : candidates) {
            auto *plugin = static_cast<TInSPI *>(p);
            for (int r = 0; r < rounds; ++r) {
                progress(SpiProgressStage::psRunning, 1,
                         QStringLiteral("Loading by [%1]").arg(QFileInfo(plugin->FileName()).fileName()));
                LoadBy(*plugin, header.data(), kMacBinaryOffsets[r]);
                if (!IsEmpty())
                    goto done;
                Clear();
            }
        }
    done:;
    } catch (...) {
        progress(SpiProgressStage::psEnding, 100, QStringLiteral("Loaded Graphic by Susie Plugin"));
        throw;
    }
    progress(SpiProgressStage::psEnding, 100, QStringLiteral("Loaded Graphic by Susie Plugin"));
}

void TInSPIAbleData::LoadBy(TInSPI &plugin, const char *buffer, int offset)
{
    const QByteArray name = ToAnsiPath(FFileName);
    if (!FFileName.isEmpty() && name.isEmpty())
        return;
    if (plugin.IsSupported(name.constData(), reinterpret_cast<uintptr_t>(buffer + offset)) == 0)
        return;
    TPictureInfo info{};
    bool hasInfo = false;
    ReadPictureInfo(plugin, offset, info, hasInfo);
    // A failed call may leave anything in the record; only a successful one hands over HInfo.
    if (!hasInfo)
        info.HInfo = nullptr;
    if (FPictureInfo.HInfo)
        LocalFree(FPictureInfo.HInfo);
    FPictureInfo = info;
    FHasPictureInfo = hasInfo;
    // A picture declared past the decoding budget is not decoded at all:
    // the plug-in would allocate it before we could check what it returns.
    // (Sizes a plug-in leaves at zero or negative tell nothing; its bitmap is checked later.)
    if (hasInfo && qAbs(qint64(info.Width)) * qAbs(qint64(info.Height)) > kMaxPicturePixels)
        return;
    TSPIs *spis = TSPIs::Instance();
    if (spis && spis->GraphicPreview) {
        ReadPicture(plugin, offset, true);
        if (IsEmpty())
            ReadPicture(plugin, offset, false);
    } else {
        ReadPicture(plugin, offset, false);
    }
}

void TInSPIAbleData::ReadPicture(TInSPI &plugin, int offset, bool preview)
{
    HLOCAL info = nullptr, bits = nullptr;
    int r = -1;
    FHandlerError = nullptr;
    try {
        r = CallGetPicture(plugin, offset, preview, &info, &bits);
    } catch (const ESPIInvalidAPI &) {
        if (!preview)
            throw;
        return; // no GetPreview: simply no preview
    }
    if (r != 0)
        return; // the plug-in keeps what it allocated; nothing was handed over
    if (FHandlerError) {
        releasePair(info, bits);
        std::rethrow_exception(std::exchange(FHandlerError, nullptr));
    }
    DibLayout layout;
    if (!info || !bits || info == bits ||
        !CheckDib(LocalLock(info), qint64(LocalSize(info)), qint64(LocalSize(bits)), layout)) {
        // Not a usable bitmap: counts as not decoded.
        releasePair(info, bits);
        return;
    }
    releasePair(FBMInfoHandle, FBMBitsHandle);
    FBMInfoHandle = info;
    FBMBitsHandle = bits;
    FBMInfo = FBMBits = nullptr;
    FLayout = layout;
}

int TInSPIAbleData::PluginProgress(int num, int done, intptr_t data)
{
    auto *self = reinterpret_cast<TInSPIAbleData *>(data);
    if (!self || !self->OnProgress)
        return 0;
    const int percent = done > 0 ? qBound(2, int((qint64(num) * 97 + done / 2) / done) + 2, 99) : 2;
    // Nothing may unwind through the plug-in's own code.
    try {
        self->progress(SpiProgressStage::psRunning, percent, QString());
    } catch (const SpiAbort &) {
        return 1;
    } catch (...) {
        self->FHandlerError = std::current_exception();
        return 1;
    }
    return 0;
}

// ---- file source ----

void TInSPIAbleFromFile::ReadHeader(char *buffer, qint64 size)
{
    QFile f(FileName());
    if (f.open(QIODevice::ReadOnly))
        f.read(buffer, size);
}

void TInSPIAbleFromFile::ReadPictureInfo(TInSPI &plugin, int offset, TPictureInfo &info, bool &hasInfo)
{
    const QByteArray name = ToAnsiPath(FileName());
    hasInfo = !name.isEmpty() && plugin.GetPictureInfo(name.constData(), offset, SPI_INPUT_FILE, &info) == 0;
}

int TInSPIAbleFromFile::CallGetPicture(TInSPI &plugin, int offset, bool preview, HLOCAL *info, HLOCAL *bits)
{
    const QByteArray name = ToAnsiPath(FileName());
    if (name.isEmpty())
        return -1;
    const intptr_t data = reinterpret_cast<intptr_t>(static_cast<TInSPIAbleData *>(this));
    return preview
               ? plugin.GetPreview(name.constData(), offset, SPI_INPUT_FILE, info, bits, PluginProgress, data)
               : plugin.GetPicture(name.constData(), offset, SPI_INPUT_FILE, info, bits, PluginProgress,
                                   data);
}

// ---- stream source ----

TInSPIAbleFromStream::TInSPIAbleFromStream(const void *owner, QIODevice &stream, const QString &fileName)
    : TInSPIAbleData(owner, fileName)
{
    if (auto *buffer = qobject_cast<QBuffer *>(&stream)) {
        FSource = buffer->buffer().constData();
        FSize = buffer->buffer().size();
        return;
    }
    if (!stream.isSequential())
        stream.seek(0);
    FMemStream = stream.readAll();
    FSource = FMemStream.constData();
    FSize = FMemStream.size();
}

void TInSPIAbleFromStream::ReadHeader(char *buffer, qint64 size)
{
    if (FSource && FSize > 0)
        memcpy(buffer, FSource, size_t(std::min(FSize, size)));
}

void TInSPIAbleFromStream::ReadPictureInfo(TInSPI &plugin, int offset, TPictureInfo &info, bool &hasInfo)
{
    // Data shorter than the offset has nothing to hand over.
    hasInfo = FSize > offset &&
              plugin.GetPictureInfo(FSource + offset, intptr_t(FSize - offset), SPI_INPUT_MEMORY, &info) == 0;
}

int TInSPIAbleFromStream::CallGetPicture(TInSPI &plugin, int offset, bool preview, HLOCAL *info, HLOCAL *bits)
{
    if (FSize <= offset)
        return -1;
    const intptr_t data = reinterpret_cast<intptr_t>(static_cast<TInSPIAbleData *>(this));
    const intptr_t len = intptr_t(FSize - offset);
    return preview
               ? plugin.GetPreview(FSource + offset, len, SPI_INPUT_MEMORY, info, bits, PluginProgress, data)
               : plugin.GetPicture(FSource + offset, len, SPI_INPUT_MEMORY, info, bits, PluginProgress, data);
}

// ---- TSPIGraphic ----

void TSPIGraphic::LoadFromFile(const QString &fileName)
{
    FreeData();
    FData = std::make_unique<TInSPIAbleFromFile>(this, fileName);
    LoadData();
}

void TSPIGraphic::LoadFromStreamWithName(QIODevice &stream, const QString &fileName)
{
    FreeData();
    FData = std::make_unique<TInSPIAbleFromStream>(this, stream, fileName);
    LoadData();
}

void TSPIGraphic::LoadData()
{
    try {
        FData->OnProgress = OnProgress;
        FData->Load();
        if (FData->IsEmpty())
            throw EInvalidGraphic(kCouldNotDecode);
    } catch (...) {
        FreeData();
        throw;
    }
}

void TSPIGraphic::FreeData()
{
    FData.reset();
    FDecodedDataBMInfo = false;
}

void TSPIGraphic::DecodeInfo()
{
    // The layout was derived and checked when the plug-in handed the DIB over;
    // here only the blocks are locked for reading.
    if (FDecodedDataBMInfo)
        return;
    if (!Empty()) {
        FData->BMInfo();
        FData->BMBits();
    }
    FDecodedDataBMInfo = true;
}

int TSPIGraphic::Width()
{
    return Empty() ? 0 : FData->Layout().width;
}
int TSPIGraphic::Height()
{
    return Empty() ? 0 : FData->Layout().height;
}
int TSPIGraphic::ColorCount()
{
    return Empty() ? 0 : FData->Layout().colorCount;
}
bool TSPIGraphic::PixelFormatIs4bit()
{
    return !Empty() && FData->Layout().bitCount == 4;
}
qint64 TSPIGraphic::InfoSize()
{
    return Empty() ? 0 : FData->Layout().infoSize;
}
qint64 TSPIGraphic::BitsSize()
{
    return Empty() ? 0 : FData->Layout().bitsSize;
}

QVector<QRgb> TSPIGraphic::GetPalette()
{
    if (Empty() || FData->Layout().colorCount == 0)
        return {};
    DecodeInfo();
    DibLayout l = FData->Layout();
    QVector<QRgb> p = DibPalette(FData->BMInfo(), l);
    p.resize(l.colorCount);
    return p;
}

void TSPIGraphic::SaveToStream(QIODevice &stream)
{
    if (Empty())
        return;
    DecodeInfo();
    WriteDibAsBmp(stream, FData->BMInfo(), FData->BMBits(), FData->Layout());
}

QImage TSPIGraphic::CreateAndAssignToImage()
{
    if (Empty())
        return {};
    DecodeInfo();
    return DibToImage(FData->BMInfo(), FData->BMBits(), FData->Layout());
}

QImage TSPIGraphic::CreateAndConvertToImage()
{
    QImage img = CreateAndAssignToImage();
    FreeData(); // the plug-in's DIB is not needed once copied
    return img;
}

// ---- TSPIBitmap ----

void TSPIBitmap::ProgressForwarder(const void *, SpiProgressStage stage, int percent, bool redrawNow,
                                   const QRect &rect, const QString &message)
{
    // The bitmap raises its own ending.
    if (stage != SpiProgressStage::psEnding && OnProgress)
        OnProgress(this, stage, percent, redrawNow, rect, message);
}

void TSPIBitmap::AssignDecoded(std::unique_ptr<TSPIGraphic> g, QImage plain)
{
    if (g)
        FImage = g->CreateAndConvertToImage();
    else if (!plain.isNull())
        FImage = plain;
    else
        throw EInvalidGraphic(kCouldNotDecode);
}

namespace
{
bool isBmpName(const QString &fileName)
{
    const int slash = fileName.lastIndexOf(QLatin1Char('/'));
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > slash && fileName.mid(dot).toUpper() == QLatin1String(".BMP");
}
} // namespace

void TSPIBitmap::loadOrdered(bool bmpFirst, const std::function<void(TSPIGraphic &)> &viaPlugins,
                             const std::function<bool(QImage &)> &viaBmp, const std::function<void()> &rewind)
{
    std::unique_ptr<TSPIGraphic> g;
    QImage plain;
    auto tryPlugins = [&] {
        auto s = std::make_unique<TSPIGraphic>();
        s->OnProgress = [this](const void *sender, SpiProgressStage st, int pc, bool rn, const QRect &r,
                               const QString &m) { ProgressForwarder(sender, st, pc, rn, r, m); };
        try {
            viaPlugins(*s);
            g = std::move(s);
            return true;
        } catch (...) {
            // A failed attempt is dropped; the other decoder gets its turn.
            rewind();
            return false;
        }
    };
    auto tryBmp = [&] {
        if (viaBmp(plain))
            return true;
        rewind();
        return false;
    };
    auto ending = [this] {
        if (OnProgress)
            OnProgress(this, SpiProgressStage::psEnding, 100, true,
                       QRect(0, 0, FImage.width(), FImage.height()), QStringLiteral("Loaded Graphic"));
    };
    try {
        if (bmpFirst) {
            if (!tryBmp())
                tryPlugins();
        } else if (!tryPlugins()) {
            tryBmp();
        }
        AssignDecoded(std::move(g), plain);
    } catch (...) {
        ending();
        throw;
    }
    ending();
}

void TSPIBitmap::LoadFromFile(const QString &fileName)
{
    loadOrdered(
        isBmpName(fileName), [&](TSPIGraphic &g) { g.LoadFromFile(fileName); },
        [&](QImage &img) { return img.load(fileName, "BMP"); }, [] {});
}

void TSPIBitmap::LoadFromStreamWithName(QIODevice &stream, const QString &fileName)
{
    const qint64 start = stream.pos();
    loadOrdered(
        isBmpName(fileName), [&](TSPIGraphic &g) { g.LoadFromStreamWithName(stream, fileName); },
        [&](QImage &img) { return img.load(&stream, "BMP"); }, [&] { stream.seek(start); });
}

QRecursiveMutex &SpiLock()
{
    static QRecursiveMutex lock;
    return lock;
}

bool DecodeWithPlugins(const QString &path, QImage &out)
{
    QMutexLocker lock(&SpiLock());
    try {
        TSPIBitmap bitmap;
        bitmap.LoadFromFile(path);
        if (bitmap.Image().isNull())
            return false;
        out = bitmap.Image();
        return true;
    } catch (...) {
        return false;
    }
}
