#include "app/ui/GestureFilter.h"

#include <QTabletEvent>
#include <QTouchEvent>
#include <QWidget>

GestureFilter::GestureFilter(bool onWindow, Handler handler, QObject *parent)
    : QObject(parent), onWindow_(onWindow), handler_(std::move(handler))
{
}

void GestureFilter::watch(QWidget *w)
{
    w->setAttribute(Qt::WA_AcceptTouchEvents);
    w->installEventFilter(this);
}

void GestureFilter::begin(QPointF p)
{
    stroke_.clear();
    clock_.start();
    active_ = true;
    stroke_.push_back({p, 0});
}

void GestureFilter::extend(QPointF p)
{
    if (active_)
        stroke_.push_back({p, clock_.elapsed()});
}

void GestureFilter::finish()
{
    if (!active_)
        return;
    active_ = false;
    const Gesture g = RecognizeStroke(stroke_);
    const QPointF travel = stroke_.constLast().pos - stroke_.constFirst().pos;
    stroke_.clear();
    if (g == Gesture::None) {
        // A touch or pen tap is a click of the left button.
        if (qAbs(travel.x()) + qAbs(travel.y()) <= kClickThreshold && handler_)
            handler_(InputCommand::Tap);
        return;
    }
    InputCommand c = GestureCommand(g, onWindow_);
    // A gesture the control does not take only redisplays.
    if (c == InputCommand::None)
        c = InputCommand::Refresh;
    if (handler_)
        handler_(c);
}

bool GestureFilter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel: {
        auto *te = static_cast<QTouchEvent *>(event);
        // Only single-finger strokes are gestures; two fingers are left alone.
        if (te->points().size() != 1) {
            active_ = false;
            return false;
        }
        const QPointF p = te->points().first().globalPosition();
        if (event->type() == QEvent::TouchBegin)
            begin(p);
        else if (event->type() == QEvent::TouchUpdate)
            extend(p);
        else if (event->type() == QEvent::TouchEnd) {
            extend(p);
            finish();
        } else
            active_ = false;
        event->accept();
        return true;
    }
    // Pen strokes are taken whole (no mouse events are made from them), so a
    // gesture is never also a click.
    case QEvent::TabletPress:
        begin(static_cast<QTabletEvent *>(event)->globalPosition());
        event->accept();
        return true;
    case QEvent::TabletMove:
        extend(static_cast<QTabletEvent *>(event)->globalPosition());
        event->accept();
        return true;
    case QEvent::TabletRelease:
        extend(static_cast<QTabletEvent *>(event)->globalPosition());
        finish();
        event->accept();
        return true;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
