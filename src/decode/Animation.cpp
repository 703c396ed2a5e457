#include "decode/Animation.h"

#include "decode/DecodeLimits.h"
#include "decode/FrameSource.h"

Animation::Animation(const QString &path, QObject *parent) : QObject(parent), path_(path)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &Animation::advance);
    if (!openSource())
        return;
    // A loop count of -1 means for ever; n more passes after the first otherwise.
    const int loops = source_->loopCount();
    playsLeft_ = loops < 0 ? -1 : loops;
    readFrame();
}

Animation::~Animation() = default;

bool Animation::openSource()
{
    source_ = OpenFrameSource(path_);
    if (!source_ || !AnimationSizeAllowed(source_->canvas())) {
        source_.reset();
        return false;
    }
    canvas_ = source_->canvas();
    return true;
}

bool Animation::readFrame()
{
    QImage next;
    int delay = 0;
    if (!source_ || !source_->next(next, delay) || next.isNull())
        return false;
    frame_ = std::move(next);
    ++frameNumber_;
    delay_ = ClampFrameDelay(delay, canvas_.isValid() ? canvas_ : frame_.size());
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
        if (!openSource() || !readFrame()) {
            finished_ = true;
            return;
        }
    }
    emit frameChanged(frameNumber_);
    timer_.start(delay_);
}
