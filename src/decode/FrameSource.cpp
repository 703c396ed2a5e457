#include "decode/FrameSource.h"

#include "decode/DecodeLimits.h"
#include "decode/FormatDecoders.h"
#include "decode/LoadPicture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace
{

class QtFrames : public FrameSource
{
public:
    explicit QtFrames(const QString &path) : reader_(path)
    {
        ApplyDecodeBudgetToQt();
        reader_.setAutoTransform(false);
        canvas_ = reader_.size();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QSize gif = GifCanvasSize(file.read(10));
            if (gif.isValid())
                canvas_ = gif; // every frame is drawn on it
        }
    }
    QSize canvas() const override { return canvas_; }
    int loopCount() const override { return reader_.loopCount(); }
    bool next(QImage &frame, int &delayMs) override
    {
        if (!reader_.canRead())
            return false;
        QImage image = reader_.read();
        if (image.isNull())
            return false;
        frame = std::move(image);
        delayMs = reader_.nextImageDelay();
        return true;
    }

private:
    // loopCount() and canRead() are const in meaning, not in Qt's API.
    mutable QImageReader reader_;
    QSize canvas_;
};

} // namespace

std::unique_ptr<FrameSource> OpenFrameSource(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray head = file.read(64);
    const bool avif = IsAvifData(head), jxl = IsJpegXlData(head);
    if (!avif && !jxl)
        return std::make_unique<QtFrames>(path);
    if (file.size() > kMaxDecodeBytes)
        return nullptr;
    // Read, not mapped: a file cut short meanwhile would raise SIGBUS.
    const QByteArray data = head + file.readAll();
    return avif ? OpenAvifFrames(data) : OpenJpegXlFrames(data);
}
