// The picture view: stretches its picture to its rectangle, keeps the path
// as its hint, plays GIFs once shown, and leaves input to its parent.
#include "app/ui/PictureView.h"

#include "decode/LoadPicture.h"

#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace
{

class InputRecorder : public QWidget
{
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
};

} // namespace

TEST(PictureView, StretchesToItsRectangleAndKeepsTheHint)
{
    QWidget parent;
    parent.resize(300, 200);
    PictureView view(&parent);
    view.setGeometry(0, 0, 200, 100);
    // 2×1: red left half, blue right half once stretched.
    PictureData pic;
    pic.image = QImage(2, 1, QImage::Format_RGB32);
    pic.image.setPixel(0, 0, qRgb(255, 0, 0));
    pic.image.setPixel(1, 0, qRgb(0, 0, 255));
    pic.naturalSize = pic.image.size();
    pic.path = QStringLiteral("/pictures/a.png");
    view.setPicture(pic);
    EXPECT_EQ(view.property("hint").toString(), pic.path);
    EXPECT_TRUE(view.toolTip().isEmpty());

    const QImage shot = view.grab().toImage();
    EXPECT_EQ(shot.size(), QSize(200, 100) * shot.devicePixelRatio());
    EXPECT_EQ(QColor(shot.pixel(5, 50)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(shot.pixel(shot.width() - 5, 50)), QColor(0, 0, 255));

    view.clear();
    EXPECT_TRUE(view.hint().isEmpty());
    EXPECT_FALSE(view.hasPicture());
}

TEST(PictureView, PlaysGifsWhenShown)
{
    PictureData pic;
    ASSERT_TRUE(LoadPictureFile(QStringLiteral(GD_TESTDATA "/images/gif/chi.gif"), pic));
    ASSERT_TRUE(pic.animated);
    PictureView view;
    view.resize(160, 120);
    view.setPicture(pic);
    EXPECT_FALSE(view.isAnimating()); // not on screen yet
    view.show();
    EXPECT_TRUE(view.isAnimating());
    view.hide();
    EXPECT_FALSE(view.isAnimating());
    view.show();
    EXPECT_TRUE(view.isAnimating());
    view.clear();
    EXPECT_FALSE(view.isAnimating());
}

TEST(PictureView, InputReachesTheParent)
{
    InputRecorder parent;
    parent.resize(300, 200);
    PictureView view(&parent);
    view.setGeometry(10, 10, 100, 100);
    PictureData pic;
    pic.image = QImage(4, 4, QImage::Format_RGB32);
    pic.naturalSize = pic.image.size();
    view.setPicture(pic);
    parent.show();
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(50, 50));
    QWheelEvent wheel(QPointF(50, 50), view.mapToGlobal(QPointF(50, 50)), {}, QPoint(0, 120), Qt::NoButton,
                      {}, Qt::NoScrollPhase, false);
    // Qt passes a wheel event on only when it comes from the system; left
    // unaccepted it reaches the parent there.
    wheel.setAccepted(true);
    QCoreApplication::sendEvent(&view, &wheel);
    EXPECT_FALSE(wheel.isAccepted());
    EXPECT_EQ(parent.presses, 1);
}
