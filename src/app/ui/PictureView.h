#pragma once
// One display slot: draws its picture stretched to the whole widget with a
// smooth filter, in device pixels so it stays sharp on HiDPI screens, and
// plays GIF animations. Input is left to the parent window: mouse, wheel and
// gesture events are not consumed here.
#include "decode/PictureData.h"

#include <QPixmap>
#include <QWidget>

class Animation;

class PictureView : public QWidget
{
    Q_OBJECT
    // Path of the picture shown, empty when none (dragging out uses it).
    Q_PROPERTY(QString hint READ hint)
public:
    explicit PictureView(QWidget *parent = nullptr);
    ~PictureView() override;

    // Shows the picture; an animated one starts playing once the view is visible.
    void setPicture(const PictureData &picture);
    void clear();

    const PictureData &picture() const { return picture_; }
    bool hasPicture() const { return !picture_.isNull(); }
    QString hint() const { return picture_.path; }
    bool isAnimating() const;

signals:
    // A picture is being drawn; the window puts the frame on screen once
    // the paint ends.
    void painted();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void stopAnimation();
    void startAnimation();
    const QPixmap &stillPixmap(QSize deviceSize, qreal dpr);

    PictureData picture_;
    Animation *movie_ = nullptr;
    bool movieFailed_ = false;
    QPixmap scaled_; // the still picture at the size it was last drawn
    QSize scaledSize_;
};
