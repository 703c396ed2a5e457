#pragma once
// Slideshow rules: the timer interval, the status texts, and what one timer
// step does at the end of the list.
#include <QLocale>
#include <QObject>
#include <QString>
#include <QTimer>

// Interval in milliseconds: seconds × 1000 + milliseconds, clamped to what a
// timer takes. Zero or less means the show never advances by itself.
int SlideshowInterval(int seconds, int milliseconds);

// "SlideShow ON - 2.5秒": the seconds with the fewest digits needed and the
// locale's decimal separator.
QString SlideshowOnText(int seconds, int milliseconds, const QLocale &locale = QLocale::system());
QString SlideshowOffText();

enum class SlideshowOutcome {
    Idle,     // no active list: nothing happens
    Show,     // show the picture at the new index
    Stop,     // end of a shortcut run that stops: switch the show off, show nothing new
    ShowQuit, // end of a shortcut run that quits: show, then close without saving
};

struct SlideshowStep {
    int index = 0; // PictureIndex after the step (the display wraps it)
    SlideshowOutcome outcome = SlideshowOutcome::Idle;
};

// One timer step: moves one page or spread forward from `index` by the rules
// of `toolState`; in a shortcut run, going past the end is decided by
// `repeatMode` (1 start again, 0 stop, -1 quit; an unknown value starts again). Outside a
// shortcut run the show wraps round without end.
// When the show stops, the index stays on the picture still on screen, so a
// later redraw (resize, returning to the window) does not jump to the start.
SlideshowStep SlideshowTimerStep(int index, int count, int toolState, bool listActive, bool shortcutRun,
                                 int repeatMode);

// The slideshow timer. An interval of zero or less is "on" but never fires:
// a zero-interval timer would otherwise fire on every pass of the event loop.
class SlideshowTimer : public QObject
{
    Q_OBJECT
public:
    explicit SlideshowTimer(QObject *parent = nullptr);

    void start(int intervalMs);
    void stop();
    bool isOn() const { return on_; }
    // Whether a timer is actually counting (false for interval 0).
    bool isTicking() const { return timer_.isActive(); }
    int interval() const { return interval_; }

signals:
    void step();

private:
    QTimer timer_;
    bool on_ = false;
    int interval_ = 0;
};
