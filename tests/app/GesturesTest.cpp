#include "app/Gestures.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <vector>

namespace
{

using Stroke = std::vector<StrokePoint>;

// Deterministic jitter in [-amp, amp].
struct Jitter {
    unsigned state = 12345;
    double amp = 0;
    double next()
    {
        state = state * 1103515245u + 12345u;
        return amp == 0 ? 0 : ((state >> 8) % 2001 / 1000.0 - 1.0) * amp;
    }
};

// Points along a polyline, `perLeg` samples per leg, spread over `ms`.
Stroke polyline(std::vector<QPointF> v, int perLeg, qint64 ms, double noise = 0)
{
    Jitter j{12345, noise};
    Stroke s;
    const int total = int(v.size() - 1) * perLeg;
    for (size_t leg = 0; leg + 1 < v.size(); ++leg) {
        for (int i = 0; i < perLeg; ++i) {
            const double t = double(i) / perLeg;
            const QPointF p = v[leg] + (v[leg + 1] - v[leg]) * t;
            const int k = int(leg) * perLeg + i;
            s.push_back({p + QPointF(j.next(), j.next()), ms * k / total});
        }
    }
    s.push_back({v.back() + QPointF(j.next(), j.next()), ms});
    return s;
}

Stroke circle(double r, double sweepDeg, int n, qint64 ms, double noise = 0, bool clockwise = true)
{
    Jitter j{777, noise};
    Stroke s;
    for (int i = 0; i <= n; ++i) {
        const double a =
            (clockwise ? 1 : -1) * sweepDeg * std::numbers::pi / 180 * i / n - std::numbers::pi / 2;
        s.push_back(
            {QPointF(300 + r * std::cos(a) + j.next(), 300 + r * std::sin(a) + j.next()), ms * i / n});
    }
    return s;
}

// A line with one loop in the middle (a prolate cycloid over one period).
Stroke pigtail(int n, qint64 ms)
{
    Stroke s;
    const double r = 30, d = 60;
    for (int i = 0; i <= n; ++i) {
        const double t = -std::numbers::pi + 2 * std::numbers::pi * i / n;
        s.push_back({QPointF(200 + r * t - d * std::sin(t), 200 - (r - d * std::cos(t))), ms * i / n});
    }
    return s;
}

} // namespace

TEST(Gestures, RecognisesShapesWhateverTheSpeedAndNoise)
{
    struct Case {
        const char *what;
        Stroke stroke;
        Gesture want;
    };
    const Case cases[] = {
        {"flick left", polyline({{300, 100}, {60, 110}}, 20, 150), Gesture::FlickLeft},
        {"flick right", polyline({{60, 100}, {300, 80}}, 20, 150), Gesture::FlickRight},
        {"flick left, fast: three samples", polyline({{300, 100}, {60, 100}}, 2, 30), Gesture::FlickLeft},
        {"flick right, slow", polyline({{60, 100}, {300, 100}}, 400, 2500), Gesture::FlickRight},
        {"flick left, noisy", polyline({{300, 100}, {60, 110}}, 60, 200, 5), Gesture::FlickLeft},
        {"chevron left", polyline({{200, 0}, {60, 100}, {200, 200}}, 15, 300), Gesture::ChevronLeft},
        {"chevron right", polyline({{60, 0}, {200, 100}, {60, 200}}, 15, 300), Gesture::ChevronRight},
        {"chevron left drawn upwards", polyline({{200, 200}, {60, 100}, {200, 0}}, 15, 300),
         Gesture::ChevronLeft},
        {"chevron right, noisy", polyline({{60, 0}, {200, 100}, {60, 200}}, 40, 300, 4),
         Gesture::ChevronRight},
        {"chevron right, fast", polyline({{60, 0}, {200, 100}, {60, 200}}, 2, 60), Gesture::ChevronRight},
        {"circle clockwise", circle(80, 360, 48, 500), Gesture::Circle},
        {"circle anticlockwise, overlapping ends", circle(80, 380, 48, 500, 0, false), Gesture::Circle},
        {"circle, noisy", circle(80, 360, 120, 700, 5), Gesture::Circle},
        {"circle, fast: twelve samples", circle(80, 360, 12, 120), Gesture::Circle},
        {"curlicue", pigtail(80, 600), Gesture::Curlicue},
        {"curlicue, fast", pigtail(20, 150), Gesture::Curlicue},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RecognizeStroke(c.stroke), c.want) << c.what;
}

TEST(Gestures, RejectsShortSlowAndAmbiguousStrokes)
{
    struct Case {
        const char *what;
        Stroke stroke;
    };
    const Case cases[] = {
        {"empty", {}},
        {"one point", {{QPointF(10, 10), 0}}},
        {"too short", polyline({{100, 100}, {70, 100}}, 10, 100)},
        {"tap jitter", polyline({{100, 100}, {103, 101}, {99, 98}, {102, 100}}, 3, 80)},
        {"held too long", polyline({{300, 100}, {60, 100}}, 100, 5000)},
        {"vertical", polyline({{100, 40}, {100, 300}}, 20, 200)},
        {"diagonal", polyline({{40, 40}, {240, 240}}, 20, 200)},
        {"V (opens upwards)", polyline({{0, 0}, {100, 150}, {200, 0}}, 15, 300)},
        {"L (right angle, opening diagonally)", polyline({{0, 0}, {0, 200}, {200, 200}}, 15, 300)},
        {"back and forth", polyline({{300, 100}, {60, 100}, {300, 104}}, 15, 300)},
        {"half circle", circle(80, 180, 30, 300)},
        {"zigzag", polyline({{0, 0}, {60, 80}, {120, 0}, {180, 80}, {240, 0}}, 10, 400)},
        {"finger resting in place", polyline({{100, 100}, {100, 100}}, 10, 100)},
        {"points with NaN only", {{QPointF(NAN, 1), 0}, {QPointF(2, NAN), 10}}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RecognizeStroke(c.stroke), Gesture::None) << c.what;
}

TEST(Gestures, Commands)
{
    using C = InputCommand;
    const std::tuple<Gesture, C, C> cases[] = {
        {Gesture::FlickLeft, C::StepBack, C::StepBack},
        {Gesture::FlickRight, C::StepForward, C::StepForward},
        {Gesture::ChevronLeft, C::GoFirst, C::GoFirst},
        {Gesture::ChevronRight, C::GoLast, C::GoLast},
        {Gesture::Circle, C::ToggleFullScreen, C::None},
        {Gesture::Curlicue, C::Close, C::None},
        {Gesture::None, C::None, C::None},
    };
    for (auto [g, onWindow, onPicture] : cases) {
        EXPECT_EQ(GestureCommand(g, true), onWindow) << int(g);
        EXPECT_EQ(GestureCommand(g, false), onPicture) << int(g);
    }
}
