#include "app/ui/PictureView.h"

#include "decode/Animation.h"
#include "decode/FastScale.h"

#include <QPaintEvent>
#include <QPainter>

PictureView::PictureView(QWidget *parent) : QWidget(parent)
{
    // Mouse and wheel events we ignore travel on to the parent window.
}

PictureView::~PictureView() = default;

void PictureView::setPicture(const PictureData &picture)
{
    // The same picture again (a redisplay on returning to the window, say):
    // nothing to repaint.
    if (!picture.animated && !picture_.animated && picture.path == picture_.path &&
        picture.image.cacheKey() == picture_.image.cacheKey() && picture.naturalSize == picture_.naturalSize)
        return;
    stopAnimation();
    picture_ = picture;
    // A still picture without transparency covers the view: nothing beneath
    // it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent,
                 !picture_.isNull() && !picture_.animated && !picture_.image.hasAlphaChannel());
    scaled_ = QPixmap();
    scaledSize_ = QSize();
    if (picture_.animated && isVisible())
        startAnimation();
    update();
}

void PictureView::clear()
{
    stopAnimation();
    picture_.clear();
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    scaled_ = QPixmap();
    scaledSize_ = QSize();
    update();
}

bool PictureView::isAnimating() const
{
    return movie_ && movie_->isRunning();
}

void PictureView::startAnimation()
{
    if (movie_ || movieFailed_ || !picture_.animated)
        return;
    movie_ = new Animation(picture_.path, this);
    if (!movie_->isValid()) {
        // The first frame stays on screen.
        delete movie_;
        movie_ = nullptr;
        movieFailed_ = true;
        return;
    }
    connect(movie_, &Animation::frameChanged, this, qOverload<>(&QWidget::update));
    movie_->start();
}

void PictureView::stopAnimation()
{
    movieFailed_ = false;
    if (!movie_)
        return;
    movie_->stop();
    delete movie_;
    movie_ = nullptr;
}

void PictureView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (picture_.animated) {
        if (movie_)
            movie_->setPaused(false);
        else
            startAnimation();
    }
}

void PictureView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (movie_)
        movie_->setPaused(true);
}

const QPixmap &PictureView::stillPixmap(QSize deviceSize, qreal dpr)
{
    if (scaledSize_ != deviceSize || scaled_.devicePixelRatio() != dpr || scaled_.isNull()) {
        // Scale once per size, in device pixels, with a proper filter;
        // painting is then a plain copy.
        const QImage &src = picture_.image;
        scaled_ = QPixmap::fromImage(ShrinkImage(src, deviceSize)); // enlarging goes through Qt
        scaled_.setDevicePixelRatio(dpr);
        scaledSize_ = deviceSize;
    }
    return scaled_;
}

void PictureView::paintEvent(QPaintEvent *event)
{
    if (picture_.isNull() || width() <= 0 || height() <= 0)
        return;
    emit painted();
    QPainter painter(this);
    const qreal dpr = devicePixelRatioF();
    const QSize deviceSize = (QSizeF(size()) * dpr).toSize();
    if (movie_) {
        const QImage frame = movie_->currentImage();
        if (!frame.isNull()) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(rect()), frame);
            return;
        }
    }
    const QRectF source(QPointF(event->rect().topLeft()) * dpr, QSizeF(event->rect().size()) * dpr);
    if (picture_.image.size() == deviceSize) {
        // Decoded at the shown size: draw it as it is, without a second copy.
        painter.drawImage(QRectF(event->rect()), picture_.image, source);
        return;
    }
    painter.drawPixmap(event->rect(), stillPixmap(deviceSize, dpr), source);
}
