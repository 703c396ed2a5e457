#include "app/Gestures.h"

#include <QLineF>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace
{

constexpr double kPi = std::numbers::pi;
constexpr int kSamples = 64;
constexpr int kCoarseSamples = 24;

double deg(double rad)
{
    return rad * 180.0 / kPi;
}

double dist(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

double pathLength(const std::vector<QPointF> &p, size_t from, size_t to)
{
    double len = 0;
    for (size_t i = from + 1; i <= to; ++i)
        len += dist(p[i - 1], p[i]);
    return len;
}

// Evenly spaced points along the stroke, so that the sampling rate of the
// device (and with it the drawing speed) does not matter.
std::vector<QPointF> resample(const std::vector<QPointF> &in, double total, int n)
{
    std::vector<QPointF> out;
    out.reserve(size_t(n));
    out.push_back(in.front());
    const double step = total / (n - 1);
    double carried = 0;
    QPointF prev = in.front();
    for (size_t i = 1; i < in.size() && int(out.size()) < n - 1; ++i) {
        QPointF cur = in[i];
        double seg = dist(prev, cur);
        while (seg > 0 && carried + seg >= step && int(out.size()) < n - 1) {
            const double t = (step - carried) / seg;
            const QPointF q = prev + (cur - prev) * t;
            out.push_back(q);
            prev = q;
            seg = dist(prev, cur);
            carried = 0;
        }
        carried += seg;
        prev = cur;
    }
    while (int(out.size()) < n)
        out.push_back(in.back());
    return out;
}

std::vector<QPointF> smooth(const std::vector<QPointF> &p)
{
    std::vector<QPointF> out = p;
    for (size_t i = 1; i + 1 < p.size(); ++i)
        out[i] = (p[i - 1] + p[i] * 2 + p[i + 1]) / 4;
    return out;
}

// Sum of the signed direction changes along the stroke, in degrees.
double totalTurning(const std::vector<QPointF> &p)
{
    double sum = 0;
    double prevAngle = 0;
    bool have = false;
    for (size_t i = 1; i < p.size(); ++i) {
        const QPointF d = p[i] - p[i - 1];
        if (d.x() == 0 && d.y() == 0)
            continue;
        const double a = std::atan2(d.y(), d.x());
        if (have) {
            double delta = a - prevAngle;
            while (delta > kPi)
                delta -= 2 * kPi;
            while (delta <= -kPi)
                delta += 2 * kPi;
            sum += delta;
        }
        prevAngle = a;
        have = true;
    }
    return deg(sum);
}

bool selfIntersects(const std::vector<QPointF> &p)
{
    for (size_t i = 0; i + 1 < p.size(); ++i) {
        const QLineF a(p[i], p[i + 1]);
        for (size_t j = i + 2; j + 1 < p.size(); ++j) {
            QPointF at;
            if (a.intersects(QLineF(p[j], p[j + 1]), &at) == QLineF::BoundedIntersection)
                return true;
        }
    }
    return false;
}

// Whether the points from..to lie close to the straight segment between the
// two ends: within a tenth of its length sideways and not running back past
// either end. Tolerant of jitter, unlike comparing path and chord lengths.
bool isLeg(const std::vector<QPointF> &p, size_t from, size_t to)
{
    const QPointF chord = p[to] - p[from];
    const double len2 = QPointF::dotProduct(chord, chord);
    if (len2 <= 0)
        return false;
    const double len = std::sqrt(len2);
    for (size_t i = from; i <= to; ++i) {
        const QPointF d = p[i] - p[from];
        const double along = QPointF::dotProduct(d, chord) / len2;
        const double side = std::fabs(d.x() * chord.y() - d.y() * chord.x()) / len;
        if (side > 0.1 * len || along < -0.1 || along > 1.1)
            return false;
    }
    return true;
}

Gesture chevron(const std::vector<QPointF> &p, double size)
{
    const QPointF a = p.front(), b = p.back();
    if (dist(a, b) < 0.3 * size)
        return Gesture::None;
    // The corner is the point farthest from the line through both ends.
    const QLineF chord(a, b);
    const QPointF n(-chord.dy() / chord.length(), chord.dx() / chord.length());
    size_t corner = 0;
    double best = -1;
    for (size_t i = 1; i + 1 < p.size(); ++i) {
        const double d = std::fabs(QPointF::dotProduct(p[i] - a, n));
        if (d > best) {
            best = d;
            corner = i;
        }
    }
    const size_t last = p.size() - 1;
    if (corner < last / 5 || corner > last - last / 5)
        return Gesture::None;
    if (!isLeg(p, 0, corner) || !isLeg(p, corner, last))
        return Gesture::None;
    const QPointF c = p[corner];
    const QPointF u = (a - c) / dist(a, c), v = (b - c) / dist(b, c);
    const double inner = deg(std::acos(std::clamp(QPointF::dotProduct(u, v), -1.0, 1.0)));
    if (inner < 15 || inner > 120)
        return Gesture::None;
    // The legs open towards the bisector; "<" opens to the right.
    const QPointF bis = u + v;
    const double dir = deg(std::atan2(bis.y(), bis.x()));
    if (std::fabs(dir) <= 35)
        return Gesture::ChevronLeft;
    if (std::fabs(dir) >= 145)
        return Gesture::ChevronRight;
    return Gesture::None;
}

} // namespace

Gesture RecognizeStroke(std::span<const StrokePoint> points, const StrokeRules &rules)
{
    std::vector<QPointF> raw;
    raw.reserve(points.size());
    for (const StrokePoint &sp : points) {
        if (std::isfinite(sp.pos.x()) && std::isfinite(sp.pos.y()))
            raw.push_back(sp.pos);
    }
    if (raw.size() < 2)
        return Gesture::None;
    if (points.back().msec - points.front().msec > rules.maxDurationMs)
        return Gesture::None;
    const double length = pathLength(raw, 0, raw.size() - 1);
    if (!(length >= rules.minLength) || !std::isfinite(length))
        return Gesture::None;

    // Evenly spaced, lightly smoothed samples: neither the device's sampling
    // rate nor a shaky hand changes the answer.
    const std::vector<QPointF> p = smooth(resample(raw, length, kSamples));
    double minX = p[0].x(), maxX = minX, minY = p[0].y(), maxY = minY;
    for (const QPointF &q : p) {
        minX = std::min(minX, q.x());
        maxX = std::max(maxX, q.x());
        minY = std::min(minY, q.y());
        maxY = std::max(maxY, q.y());
    }
    const double size = std::max(maxX - minX, maxY - minY);
    const QPointF chord = p.back() - p.front();
    const double chordLength = std::hypot(chord.x(), chord.y());

    if (chordLength >= rules.minLength && isLeg(p, 0, p.size() - 1)) {
        // Only horizontal strokes mean something; steep ones are ambiguous.
        if (std::fabs(chord.y()) <= std::tan(30 * kPi / 180) * std::fabs(chord.x()))
            return chord.x() < 0 ? Gesture::FlickLeft : Gesture::FlickRight;
        return Gesture::None;
    }

    const Gesture ch = chevron(p, size);
    if (ch != Gesture::None)
        return ch;

    // Turning is summed over coarser steps, so that jitter cannot add up.
    const double turning =
        std::fabs(totalTurning(resample(p, pathLength(p, 0, p.size() - 1), kCoarseSamples)));
    const bool closed = chordLength <= 0.3 * size;
    const double flatness = std::min(maxX - minX, maxY - minY) / size;
    if (closed && turning >= 270 && turning <= 480 && flatness >= 0.3)
        return Gesture::Circle;
    if (!closed && turning >= 270 && turning <= 540 && selfIntersects(p))
        return Gesture::Curlicue;
    return Gesture::None;
}

InputCommand GestureCommand(Gesture g, bool onWindow)
{
    switch (g) {
    case Gesture::FlickLeft:
        return InputCommand::StepBack;
    case Gesture::FlickRight:
        return InputCommand::StepForward;
    case Gesture::ChevronLeft:
        return InputCommand::GoFirst;
    case Gesture::ChevronRight:
        return InputCommand::GoLast;
    case Gesture::Circle:
        return onWindow ? InputCommand::ToggleFullScreen : InputCommand::None;
    case Gesture::Curlicue:
        return onWindow ? InputCommand::Close : InputCommand::None;
    case Gesture::None:
        break;
    }
    return InputCommand::None;
}
