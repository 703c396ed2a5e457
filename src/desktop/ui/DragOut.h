#pragma once
// Dragging the shown picture out of the viewer as its file, so that a file
// manager copies or moves it. Attached to a picture widget: a left press
// followed by a move of at least the desktop's drag distance starts the
// drag; shorter moves stay clicks. Escape cancels (the drag loop does that).
#include <QObject>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <functional>

class QWidget;

class DragOut : public QObject
{
    Q_OBJECT
public:
    struct Hooks {
        // The picture under a press at this point of the widget; empty: none.
        std::function<QString(QPoint)> pathAt;
        // True while no drag may start (the slideshow runs). Optional.
        std::function<bool()> blocked;
        // Drops onto the viewer's own windows: off (false) for the duration
        // of the drag, so it cannot land on us, and on (true) after. Optional.
        std::function<void(bool)> acceptDrops;
        // A small picture to show under the pointer. Optional.
        std::function<QPixmap(QPoint)> previewAt;
    };

    // Watches `source`'s mouse events; owned by `source`.
    DragOut(QWidget *source, Hooks hooks);

    bool dragging() const { return dragging_; }

signals:
    void started(const QString &path);
    // The drag ended; `action` is what the target did (Qt::IgnoreAction:
    // cancelled or refused). After a move the file is gone from its folder.
    void finished(const QString &path, Qt::DropAction action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void run(const QString &path, QPoint at);

    QPointer<QWidget> source_;
    Hooks hooks_;
    QPoint pressPos_;
    bool armed_ = false;          // left button went down on the widget
    bool swallowRelease_ = false; // the release that ends our drag is no click
    bool dragging_ = false;
};
