#include "desktop/ui/DragOut.h"

#include "desktop/FileMime.h"

#include <QApplication>
#include <QDrag>
#include <QMouseEvent>
#include <QWidget>

DragOut::DragOut(QWidget *source, Hooks hooks) : QObject(source), source_(source), hooks_(std::move(hooks))
{
    source->installEventFilter(this);
}

bool DragOut::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != source_ || dragging_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *e = static_cast<QMouseEvent *>(event);
        armed_ = e->button() == Qt::LeftButton;
        swallowRelease_ = false;
        if (armed_)
            pressPos_ = e->position().toPoint();
        return false;
    }
    case QEvent::MouseMove: {
        const auto *e = static_cast<QMouseEvent *>(event);
        if (!armed_)
            return false;
        if (!(e->buttons() & Qt::LeftButton)) {
            armed_ = false;
            return false;
        }
        const QPoint pos = e->position().toPoint();
        if ((pos - pressPos_).manhattanLength() < QApplication::startDragDistance())
            return false;
        armed_ = false;
        if (hooks_.blocked && hooks_.blocked())
            return false;
        const QString path = hooks_.pathAt ? hooks_.pathAt(pressPos_) : QString();
        if (path.isEmpty())
            return false;
        swallowRelease_ = true;
        run(path, pressPos_);
        return true;
    }
    case QEvent::MouseButtonRelease:
        armed_ = false;
        if (swallowRelease_) {
            swallowRelease_ = false;
            return true;
        }
        return false;
    default:
        return false;
    }
}

void DragOut::run(const QString &path, QPoint at)
{
    auto *drag = new QDrag(source_); // the drag loop deletes it
    drag->setMimeData(FileMimeData(path));
    if (hooks_.previewAt) {
        const QPixmap preview = hooks_.previewAt(at);
        if (!preview.isNull()) {
            drag->setPixmap(preview);
            drag->setHotSpot(QPoint(preview.width() / 2, preview.height() / 2));
        }
    }
    QPointer<DragOut> self(this);
    const auto acceptDrops = hooks_.acceptDrops; // outlives us should the window close meanwhile
    if (acceptDrops)
        acceptDrops(false);
    dragging_ = true;
    emit started(path);
    const Qt::DropAction action =
        drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
    if (acceptDrops)
        acceptDrops(true);
    if (!self)
        return;
    dragging_ = false;
    emit finished(path, action);
}
