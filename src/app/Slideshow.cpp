#include "app/Slideshow.h"

#include "app/Navigation.h"

#include <algorithm>
#include <climits>

int SlideshowInterval(int seconds, int milliseconds)
{
    const long long ms = (long long)seconds * 1000 + milliseconds;
    return int(std::clamp<long long>(ms, INT_MIN, INT_MAX));
}

QString SlideshowOnText(int seconds, int milliseconds, const QLocale &locale)
{
    // Whole milliseconds over 1000: the nearest double to the exact value,
    // so 2 s 299 ms prints as 2.299, not 2.2990000000000004.
    const double s = double((long long)seconds * 1000 + milliseconds) / 1000.0;
    QLocale loc = locale;
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return QStringLiteral("SlideShow ON - ") + loc.toString(s, 'f', QLocale::FloatingPointShortest) +
           QStringLiteral("秒");
}

QString SlideshowOffText()
{
    return QStringLiteral("SlideShow OFF");
}

SlideshowStep SlideshowTimerStep(int index, int count, int toolState, bool listActive, bool shortcutRun,
                                 int repeatMode)
{
    if (!listActive)
        return {index, SlideshowOutcome::Idle};
    const int next = StepIndex(index, true, uint8_t(toolState));
    if (shortcutRun && next >= count) {
        if (repeatMode == 0)
            return {index, SlideshowOutcome::Stop};
        if (repeatMode == -1)
            return {next, SlideshowOutcome::ShowQuit};
    }
    return {next, SlideshowOutcome::Show};
}

SlideshowTimer::SlideshowTimer(QObject *parent) : QObject(parent)
{
    connect(&timer_, &QTimer::timeout, this, &SlideshowTimer::step);
}

void SlideshowTimer::start(int intervalMs)
{
    on_ = true;
    interval_ = intervalMs;
    if (intervalMs > 0)
        timer_.start(intervalMs);
    else
        timer_.stop();
}

void SlideshowTimer::stop()
{
    on_ = false;
    timer_.stop();
}
