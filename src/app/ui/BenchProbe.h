#pragma once
// Timing probe for the speed benchmarks. It reports the moment a picture view
// has painted its picture and the window holding it has been flushed to the
// screen, which is when the user sees the picture.
//
// The program installs it through installFromEnvironment(), which does
// nothing at all unless GLIMMERDECK_BENCH is set:
//   GLIMMERDECK_BENCH=log    one line on stderr per picture painted
//   GLIMMERDECK_BENCH=first  the same, and quit after the first picture
//   GLIMMERDECK_BENCH=idle   the same, and quit once the first window is
//                            painted and the event loop has nothing left to do
// Lines look like "glimmerdeck-bench picture <monotonic ns> <realtime ns> <path>"
// (events: ready, window, idle, picture). Benchmarks that run the window in
// their own process construct a probe directly and use its signals.
#include <QObject>
#include <QString>

class QEvent;

class BenchProbe : public QObject
{
    Q_OBJECT
public:
    enum class Exit { Never, AfterFirstPicture, WhenIdle };

    // Call once after the application object exists.
    static void installFromEnvironment();

    // Watches every widget of the application from now on.
    explicit BenchProbe(Exit exit = Exit::Never, bool logToStderr = false, QObject *parent = nullptr);
    ~BenchProbe() override;

    // CLOCK_MONOTONIC in nanoseconds: comparable across processes.
    static qint64 monotonicNs();

signals:
    // A picture view painted `path` in full, and the window was flushed.
    void picturePainted(const QString &path, qint64 monotonicNs);
    // The first window was painted and flushed.
    void windowPainted(qint64 monotonicNs);
    // After the first window, the event loop ran out of work.
    void idle(qint64 monotonicNs);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finishFlush();
    void log(const char *what, qint64 mono, const QString &path = QString());

    const Exit exit_;
    const bool log_;
    QEvent *resending_ = nullptr; // the event we are delivering ourselves
    int depth_ = 0;               // nested paint-and-flush deliveries
    QString painted_;             // picture painted inside the current delivery
    bool windowSeen_ = false;
    bool quitting_ = false;
};
