#pragma once
// Plays an animated picture file frame by frame (GIF and whatever else Qt
// reads as an animation, animated AVIF and JPEG XL). Unlike QMovie it holds each
// frame for at least a sane delay (tiny delays become 100 ms, large canvases
// are redrawn less often, see DecodeLimits.h) and refuses canvases too
// large to redraw on every frame.
#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class FrameSource;

class Animation : public QObject
{
    Q_OBJECT
public:
    // Reads the first frame at once; isValid() tells whether it could.
    explicit Animation(const QString &path, QObject *parent = nullptr);
    ~Animation() override;

    bool isValid() const { return !frame_.isNull(); }
    bool isRunning() const { return timer_.isActive(); }
    QImage currentImage() const { return frame_; }
    int frameNumber() const { return frameNumber_; }
    // How long the current frame stays, in milliseconds, after clamping.
    int currentDelay() const { return delay_; }

    void start();
    void setPaused(bool paused);
    void stop();

signals:
    void frameChanged(int frameNumber);

private:
    bool openSource();
    bool readFrame();
    void advance();

    QString path_;
    std::unique_ptr<FrameSource> source_;
    QTimer timer_;
    QImage frame_;
    QSize canvas_;
    int frameNumber_ = -1;
    int delay_ = 0;
    int playsLeft_ = 0; // further passes through the frames; negative: for ever
    bool finished_ = false;
};
