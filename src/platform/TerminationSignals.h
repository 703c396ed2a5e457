#pragma once
// SIGTERM (what a desktop sends at log-out), SIGINT and SIGHUP turned into
// a Qt signal on the thread that owns this object, so that the program can
// close the way its close button does: settings saved, temporary folder
// removed. A second such signal while the first is still being handled
// ends the program at once, as if no handler were installed.
#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    // Installs the handlers; one instance per process. Signals that arrive
    // before start() wait for it.
    explicit TerminationSignals(QObject *parent = nullptr);
    // Restores the default handling.
    ~TerminationSignals() override;

    // Delivers what has arrived so far, and from now on each as it comes.
    void start();

signals:
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier *notifier_ = nullptr;
};
