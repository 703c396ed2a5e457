#include "app/Slideshow.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <climits>
#include <gtest/gtest.h>
#include <vector>

TEST(Slideshow, IntervalAndStatusTexts)
{
    EXPECT_EQ(SlideshowInterval(2, 500), 2500);
    EXPECT_EQ(SlideshowInterval(0, 0), 0);
    EXPECT_EQ(SlideshowInterval(INT_MAX, 999), INT_MAX);

    struct Case {
        int s, ms;
        QLocale locale;
        const char *want;
    };
    const QLocale c = QLocale::c(), de(QLocale::German, QLocale::Germany);
    const Case cases[] = {
        {2, 0, c, "SlideShow ON - 2秒"},
        {2, 500, c, "SlideShow ON - 2.5秒"},
        {2, 299, c, "SlideShow ON - 2.299秒"},
        {0, 333, c, "SlideShow ON - 0.333秒"},
        {1, 1500, c, "SlideShow ON - 2.5秒"},
        {0, 0, c, "SlideShow ON - 0秒"},
        {2, 500, de, "SlideShow ON - 2,5秒"},         // the user's decimal separator
        {1000000, 0, de, "SlideShow ON - 1000000秒"}, // no grouping, no exponent
    };
    for (const Case &k : cases)
        EXPECT_EQ(SlideshowOnText(k.s, k.ms, k.locale), QString::fromUtf8(k.want)) << k.want;
    EXPECT_EQ(SlideshowOffText(), QStringLiteral("SlideShow OFF"));
}

namespace
{

struct Shown {
    int index;
    SlideshowOutcome outcome;
    bool operator==(const Shown &) const = default;
};

// Drives the timer step from index 0 the way the window does: a shown step
// lets the display wrap an index past the end back to the first page.
std::vector<Shown> run(int count, int state, bool shortcut, int repeat, int ticks)
{
    std::vector<Shown> out;
    int index = 0;
    for (int t = 0; t < ticks; ++t) {
        const SlideshowStep s = SlideshowTimerStep(index, count, state, true, shortcut, repeat);
        index = s.index;
        if (s.outcome != SlideshowOutcome::Stop && index >= count)
            index = 0;
        out.push_back({index, s.outcome});
        if (s.outcome != SlideshowOutcome::Show)
            break;
    }
    return out;
}

} // namespace

TEST(Slideshow, EndOfListInShortcutRun)
{
    using O = SlideshowOutcome;
    struct Case {
        const char *what;
        int count, state;
        bool shortcut;
        int repeat;
        std::vector<Shown> want;
    };
    const Case cases[] = {
        {"stop, single page: stays on the last picture",
         3,
         0,
         true,
         0,
         {{1, O::Show}, {2, O::Show}, {2, O::Stop}}},
        {"stop, pairs", 5, 1, true, 0, {{2, O::Show}, {4, O::Show}, {4, O::Stop}}},
        {"quit, single page", 3, 0, true, -1, {{1, O::Show}, {2, O::Show}, {0, O::ShowQuit}}},
        {"quit, pairs", 4, 1, true, -1, {{2, O::Show}, {0, O::ShowQuit}}},
        {"again, single page", 3, 0, true, 1, {{1, O::Show}, {2, O::Show}, {0, O::Show}, {1, O::Show}}},
        {"again, pairs", 4, 1, true, 1, {{2, O::Show}, {0, O::Show}, {2, O::Show}}},
        {"not a shortcut run: wraps whatever the mode",
         3,
         0,
         false,
         0,
         {{1, O::Show}, {2, O::Show}, {0, O::Show}}},
        {"not a shortcut run, pairs", 4, 1, false, -1, {{2, O::Show}, {0, O::Show}}},
        {"form 2 quits after the last spread",
         6,
         2,
         true,
         -1,
         {{1, O::Show}, {3, O::Show}, {5, O::Show}, {0, O::ShowQuit}}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(run(c.count, c.state, c.shortcut, c.repeat, int(c.want.size())), c.want) << c.what;

    EXPECT_EQ(SlideshowTimerStep(1, 3, 0, false, true, -1).outcome, O::Idle);
}

TEST(Slideshow, ZeroIntervalIsOnButNeverFires)
{
    SlideshowTimer timer;
    QSignalSpy steps(&timer, &SlideshowTimer::step);

    timer.start(SlideshowInterval(0, 0));
    EXPECT_TRUE(timer.isOn());
    EXPECT_FALSE(timer.isTicking());
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 50)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(steps.count(), 0);

    timer.start(20);
    EXPECT_TRUE(timer.isTicking());
    EXPECT_TRUE(steps.wait(1000));

    timer.stop();
    EXPECT_FALSE(timer.isOn());
    const int seen = int(steps.count());
    clock.restart();
    while (clock.elapsed() < 60)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(steps.count(), seen);
}
