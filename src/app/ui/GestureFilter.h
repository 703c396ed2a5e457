#pragma once
// Collects one touch or pen stroke over a widget and, when it ends, hands the
// recognised gesture's command to a callback. Installed on the windows and
// on the picture controls.
#include "app/Gestures.h"
#include "app/InputMap.h"

#include <QElapsedTimer>
#include <QObject>
#include <QVector>
#include <functional>

class GestureFilter : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(InputCommand)>;
    // onWindow: circle and curlicue count only on a window, not on a picture.
    GestureFilter(bool onWindow, Handler handler, QObject *parent = nullptr);

    // Enables touch events on `w` and watches it.
    void watch(QWidget *w);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void begin(QPointF p);
    void extend(QPointF p);
    void finish();

    bool onWindow_;
    Handler handler_;
    QVector<StrokePoint> stroke_;
    QElapsedTimer clock_;
    bool active_ = false;
};
