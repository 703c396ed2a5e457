#include "app/ui/BenchProbe.h"

#include "app/ui/PictureView.h"

#include <QApplication>
#include <QPaintEvent>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <ctime>

namespace
{
qint64 clockNs(clockid_t clock)
{
    timespec ts{};
    clock_gettime(clock, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}
} // namespace

void BenchProbe::installFromEnvironment()
{
    // The normal start-up pays for this one look-up and nothing else.
    if (!qEnvironmentVariableIsSet("GLIMMERDECK_BENCH"))
        return;
    const QByteArray mode = qgetenv("GLIMMERDECK_BENCH");
    Exit exit = Exit::Never;
    if (mode == "first")
        exit = Exit::AfterFirstPicture;
    else if (mode == "idle")
        exit = Exit::WhenIdle;
    auto *probe = new BenchProbe(exit, true, qApp);
    probe->log("ready", monotonicNs());
}

BenchProbe::BenchProbe(Exit exit, bool logToStderr, QObject *parent)
    : QObject(parent), exit_(exit), log_(logToStderr)
{
    qApp->installEventFilter(this);
}

// Qt forgets a destroyed filter by itself; the application may already be
// half torn down when we go.
BenchProbe::~BenchProbe() = default;

qint64 BenchProbe::monotonicNs()
{
    return clockNs(CLOCK_MONOTONIC);
}

void BenchProbe::log(const char *what, qint64 mono, const QString &path)
{
    if (!log_)
        return;
    std::fprintf(stderr, "glimmerdeck-bench %s %lld %lld %s\n", what, static_cast<long long>(mono),
                 static_cast<long long>(clockNs(CLOCK_REALTIME)), path.toLocal8Bit().constData());
    std::fflush(stderr);
}

bool BenchProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (event == resending_)
        return false;
    switch (event->type()) {
    case QEvent::Paint: {
        auto *view = qobject_cast<PictureView *>(watched);
        if (!view || !view->hasPicture() || !static_cast<QPaintEvent *>(event)->rect().contains(view->rect()))
            return false;
        painted_ = view->hint();
        if (depth_ > 0)
            return false; // the enclosing delivery flushes and reports it
        break;
    }
    case QEvent::UpdateRequest: // widgets paint their dirty parts and flush
    case QEvent::Expose:        // a window appears: painted and flushed at once
        break;
    default:
        return false;
    }
    // Deliver the event ourselves (other filters and the receiver see it as
    // usual) so that we know when its painting and flushing are over.
    QEvent *outer = resending_;
    resending_ = event;
    ++depth_;
    QCoreApplication::sendEvent(watched, event);
    --depth_;
    resending_ = outer;
    if (depth_ == 0) {
        bool shown = false;
        if (auto *w = qobject_cast<QWidget *>(watched))
            shown = w->isVisible();
        else if (auto *win = qobject_cast<QWindow *>(watched))
            shown = win->isExposed();
        if (shown || !painted_.isEmpty())
            finishFlush();
    }
    return true;
}

void BenchProbe::finishFlush()
{
    const qint64 now = monotonicNs();
    if (!windowSeen_) {
        windowSeen_ = true;
        log("window", now);
        emit windowPainted(now);
        // A zero timer fires once the queued window-system events are handled.
        QTimer::singleShot(0, this, [this] {
            const qint64 t = monotonicNs();
            log("idle", t);
            emit idle(t);
            if (exit_ == Exit::WhenIdle && !quitting_) {
                quitting_ = true;
                QTimer::singleShot(0, qApp, [] {
                    QApplication::closeAllWindows();
                    QCoreApplication::quit();
                });
            }
        });
    }
    if (painted_.isEmpty())
        return;
    const QString path = painted_;
    painted_.clear();
    log("picture", now, path);
    emit picturePainted(path, now);
    if (exit_ == Exit::AfterFirstPicture && !quitting_) {
        quitting_ = true;
        QTimer::singleShot(0, qApp, [] {
            QApplication::closeAllWindows();
            QCoreApplication::quit();
        });
    }
}
