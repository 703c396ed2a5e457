#include "decode/Animation.h"

#include "decode/DecodeLimits.h"
#include "decode/LoadPicture.h"

#include <QFile>

Animation::Animation(const QString &path, QObject *parent) : QObject(parent), path_(path)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &Animation::advance);
    if (!openReader())
        return;
    // A loop count of -1 means for ever; n more passes after the first otherwise.
    const int loops = reader_->loopCount();
    playsLeft_ = loops < 0 ? -1 : loops;
    readFrame();
}

Animation::~Animation() = default;

bool Animation::openReader()
{
    ApplyDecodeBudgetToQt();
    reader_ = std::make_unique<QImageReader>(path_);
    reader_->setAutoTransform(false);
    QSize canvas = reader_->size();
    QFile file(path_);
    if (file.open(QIODevice::ReadOnly)) {
        const QSize gif = GifCanvasSize(file.read(10));
        if (gif.isValid())
            canvas = gif;
    }
    if (!AnimationSizeAllowed(canvas)) {
        reader_.reset();
        return false;
    }
    canvas_ = canvas;
    return true;
}

bool Animation::readFrame()
{
    if (!reader_ || !reader_->canRead())
        return false;
    QImage next = reader_->read();
    if (next.isNull())
        return false;
    frame_ = std::move(next);
    ++frameNumber_;
    delay_ = ClampFrameDelay(reader_->nextImageDelay(), canvas_.isValid() ? canvas_ : frame_.size());
    return true;
}

void Animation::start()
{
    if (!isValid() || finished_ || timer_.isActive())
        return;
    timer_.start(delay_);
}

void Animation::setPaused(bool paused)
{
    if (paused)
        timer_.stop();
    else
        start();
}

void Animation::stop()
{
    timer_.stop();
}

void Animation::advance()
{
    if (!readFrame()) {
        // End of the frames (or a broken one): another pass, or stay on
        // the last good frame.
        if (playsLeft_ == 0 || frameNumber_ == 0) {
            finished_ = true;
            return;
        }
        if (playsLeft_ > 0)
            --playsLeft_;
        frameNumber_ = -1;
        if (!openReader() || !readFrame()) {
            finished_ = true;
            return;
        }
    }
    emit frameChanged(frameNumber_);
    timer_.start(delay_);
}
