#include "decode/FastScale.h"

#include "decode/PictureBuffers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace
{

// Weights are fixed point with this many fraction bits; the weights of one
// target pixel add up to exactly 1 << kBits. Rows averaged horizontally keep
// kRowBits fraction bits (255 << 7 still fits a signed 16-bit lane).
constexpr int kBits = 14;
constexpr int kRowBits = 7;

// For each target position along one axis: the first source position it
// covers, how many, and their weights.
struct Taps {
    std::vector<int> first;
    std::vector<int> count;
    std::vector<int> offset; // into weight
    std::vector<int16_t> weight;
    int maxCount = 0;
};

Taps makeTaps(int from, int to)
{
    Taps t;
    t.first.resize(size_t(to));
    t.count.resize(size_t(to));
    t.offset.resize(size_t(to));
    const double r = double(from) / to;
    for (int i = 0; i < to; ++i) {
        const double a = i * r, b = std::min(double(from), (i + 1) * r);
        const int j0 = int(std::floor(a));
        const int j1 = std::min(from, int(std::ceil(b)));
        t.first[size_t(i)] = j0;
        t.offset[size_t(i)] = int(t.weight.size());
        // Rounded running sums, so the weights add up to exactly one.
        double sum = 0;
        int given = 0;
        int n = 0;
        for (int j = j0; j < j1; ++j) {
            sum += (std::min(b, double(j + 1)) - std::max(a, double(j))) / (b - a);
            const int upTo = j + 1 == j1 ? (1 << kBits) : int(std::lround(sum * (1 << kBits)));
            t.weight.push_back(int16_t(upTo - given));
            given = upTo;
            ++n;
        }
        t.count[size_t(i)] = n;
        t.maxCount = std::max(t.maxCount, n);
    }
    return t;
}

// The horizontal taps laid out for the row loop: per target pixel the first
// source pixel and a whole number of pairs of weights, each pair packed as
// two 16-bit halves of one 32-bit word. An odd count gets a zero weight in
// front or behind, whichever stays inside the row.
struct RowPlan {
    std::vector<int> first;
    std::vector<int> pairs;
    std::vector<int> offset;
    std::vector<int32_t> packed;
};

RowPlan makeRowPlan(const Taps &t, int from)
{
    RowPlan p;
    const size_t n = t.first.size();
    p.first.resize(n);
    p.pairs.resize(n);
    p.offset.resize(n);
    for (size_t i = 0; i < n; ++i) {
        std::vector<int16_t> w(t.weight.begin() + t.offset[i], t.weight.begin() + t.offset[i] + t.count[i]);
        int first = t.first[i];
        if (w.size() % 2) {
            if (first + int(w.size()) < from) {
                w.push_back(0);
            } else {
                w.insert(w.begin(), 0);
                --first;
            }
        }
        p.first[i] = first;
        p.pairs[i] = int(w.size() / 2);
        p.offset[i] = int(p.packed.size());
        for (size_t k = 0; k < w.size(); k += 2)
            p.packed.push_back(int32_t(uint32_t(uint16_t(w[k])) | uint32_t(uint16_t(w[k + 1])) << 16));
    }
    return p;
}

// One source row averaged horizontally: four 16-bit channels per target
// pixel, kRowBits fraction bits. Needs a source row of at least two pixels.
void shrinkRow(const uint8_t *src, const RowPlan &h, int width, uint16_t *out)
{
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi32(1 << (kBits - kRowBits - 1));
#endif
    for (int x = 0; x < width; ++x) {
        const uint8_t *p = src + size_t(h.first[size_t(x)]) * 4;
        const int32_t *w = h.packed.data() + h.offset[size_t(x)];
        const int n = h.pairs[size_t(x)];
#ifdef __SSE2__
        // Two source pixels per step: their channels interleaved as 16-bit
        // pairs, multiplied by the two weights and added in one instruction.
        __m128i acc = half;
        for (int k = 0; k < n; ++k) {
            const __m128i px =
                _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(p + k * 8)), zero);
            const __m128i pairs = _mm_unpacklo_epi16(px, _mm_srli_si128(px, 8));
            acc = _mm_add_epi32(acc, _mm_madd_epi16(pairs, _mm_set1_epi32(w[k])));
        }
        acc = _mm_srli_epi32(acc, kBits - kRowBits);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + size_t(x) * 4), _mm_packs_epi32(acc, acc));
#else
        uint32_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        for (int k = 0; k < 2 * n; ++k) {
            const uint32_t wk = uint16_t(w[k / 2] >> (k % 2 ? 16 : 0));
            s0 += p[k * 4] * wk;
            s1 += p[k * 4 + 1] * wk;
            s2 += p[k * 4 + 2] * wk;
            s3 += p[k * 4 + 3] * wk;
        }
        constexpr uint32_t half = 1u << (kBits - kRowBits - 1);
        out[x * 4] = uint16_t((s0 + half) >> (kBits - kRowBits));
        out[x * 4 + 1] = uint16_t((s1 + half) >> (kBits - kRowBits));
        out[x * 4 + 2] = uint16_t((s2 + half) >> (kBits - kRowBits));
        out[x * 4 + 3] = uint16_t((s3 + half) >> (kBits - kRowBits));
#endif
    }
}

} // namespace

namespace
{

// Target row from the horizontally averaged source rows it covers.
void blendRows(const uint16_t *const *rows, const int16_t *w, int n, size_t len, uint8_t *out)
{
    size_t i = 0;
#ifdef __SSE2__
    // Eight channels per step; two rows at a time, interleaved as 16-bit
    // pairs and multiplied by their two weights in one instruction.
    const __m128i half = _mm_set1_epi32(1 << (kBits + kRowBits - 1));
    for (; i + 8 <= len; i += 8) {
        __m128i lo = half, hi = half;
        int k = 0;
        for (; k + 1 < n; k += 2) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[k] + i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[k + 1] + i));
            const __m128i ww = _mm_set1_epi32(int(uint16_t(w[k])) | int(uint32_t(uint16_t(w[k + 1])) << 16));
            lo = _mm_add_epi32(lo, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), ww));
            hi = _mm_add_epi32(hi, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), ww));
        }
        if (k < n) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[k] + i));
            const __m128i ww = _mm_set1_epi32(int(uint16_t(w[k])));
            const __m128i zero = _mm_setzero_si128();
            lo = _mm_add_epi32(lo, _mm_madd_epi16(_mm_unpacklo_epi16(a, zero), ww));
            hi = _mm_add_epi32(hi, _mm_madd_epi16(_mm_unpackhi_epi16(a, zero), ww));
        }
        lo = _mm_srli_epi32(lo, kBits + kRowBits);
        hi = _mm_srli_epi32(hi, kBits + kRowBits);
        const __m128i words = _mm_packs_epi32(lo, hi);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(out + i), _mm_packus_epi16(words, words));
    }
#endif
    for (; i < len; ++i) {
        uint32_t sum = 1u << (kBits + kRowBits - 1);
        for (int k = 0; k < n; ++k)
            sum += uint32_t(rows[k][i]) * uint32_t(w[k]);
        out[i] = uint8_t(sum >> (kBits + kRowBits));
    }
}

} // namespace

QImage ShrinkImage(const QImage &src, QSize size, int threads)
{
    if (src.isNull() || size.isEmpty())
        return QImage();
    if (src.size() == size)
        return src;
    const QImage::Format f = src.format();
    const bool fast =
        f == QImage::Format_RGB32 || f == QImage::Format_ARGB32_Premultiplied || f == QImage::Format_ARGB32;
    if (!fast || size.width() > src.width() || size.height() > src.height() || src.width() < 2)
        return src.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // Averaging is only right on premultiplied colours.
    const QImage in =
        f == QImage::Format_ARGB32 ? src.convertToFormat(QImage::Format_ARGB32_Premultiplied) : src;
    QImage out = NewPictureImage(size, in.format());
    if (out.isNull())
        return QImage();
    out.setDotsPerMeterX(src.dotsPerMeterX());
    out.setDotsPerMeterY(src.dotsPerMeterY());

    const int dw = size.width(), dh = size.height();
    const RowPlan h = makeRowPlan(makeTaps(in.width(), dw), in.width());
    const Taps v = makeTaps(in.height(), dh);
    const size_t len = size_t(dw) * 4;
    // Target rows [y0, y1). Horizontally averaged source rows are kept while
    // later target rows still need them: a ring indexed by source row.
    auto band = [&](int y0, int y1) {
        const int ring = v.maxCount + 1;
        std::vector<uint16_t> rows(len * size_t(ring));
        std::vector<int> held(size_t(ring), -1);
        std::vector<const uint16_t *> use(size_t(v.maxCount));
        for (int y = y0; y < y1; ++y) {
            const int n = v.count[size_t(y)];
            for (int k = 0; k < n; ++k) {
                const int sy = v.first[size_t(y)] + k;
                const size_t slot = size_t(sy % ring);
                uint16_t *r = rows.data() + slot * len;
                if (held[slot] != sy) {
                    shrinkRow(in.constScanLine(sy), h, dw, r);
                    held[slot] = sy;
                }
                use[size_t(k)] = r;
            }
            // Weights adding up to exactly one keep an opaque alpha at 255.
            blendRows(use.data(), v.weight.data() + v.offset[size_t(y)], n, len, out.scanLine(y));
        }
    };
    threads = std::clamp(threads, 1, std::max(1, dh / 64));
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(band, dh * t / threads, dh * (t + 1) / threads);
    band(0, dh / threads);
    for (std::thread &t : helpers)
        t.join();
    return f == QImage::Format_ARGB32 ? out.convertToFormat(QImage::Format_ARGB32) : out;
}

struct RowShrinker::State {
    QSize from, to;
    RowPlan h;
    Taps v;
    size_t len = 0;
    int ring = 0;
    std::vector<uint16_t> rows;
    std::vector<const uint16_t *> use;
    QImage out;
    int nextIn = 0;  // source rows taken
    int nextOut = 0; // target rows written
};

RowShrinker::RowShrinker(QSize from, QSize to, QImage::Format format) : d(std::make_unique<State>())
{
    const bool ok = (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied) &&
                    !to.isEmpty() && from.width() >= 2 && to.width() <= from.width() &&
                    to.height() <= from.height();
    if (!ok)
        return;
    d->out = NewPictureImage(to, format);
    if (d->out.isNull())
        return;
    d->from = from;
    d->to = to;
    d->h = makeRowPlan(makeTaps(from.width(), to.width()), from.width());
    d->v = makeTaps(from.height(), to.height());
    d->len = size_t(to.width()) * 4;
    d->ring = d->v.maxCount + 1;
    d->rows.resize(d->len * size_t(d->ring));
    d->use.resize(size_t(d->v.maxCount));
}

RowShrinker::~RowShrinker() = default;

bool RowShrinker::accepted() const
{
    return !d->out.isNull();
}

void RowShrinker::addRow(const uchar *row)
{
    State &s = *d;
    if (s.out.isNull() || s.nextIn >= s.from.height())
        return;
    const int sy = s.nextIn++;
    const size_t slot = size_t(sy % s.ring);
    shrinkRow(row, s.h, s.to.width(), s.rows.data() + slot * s.len);
    // Every target row whose source rows are all in.
    while (s.nextOut < s.to.height()) {
        const int y = s.nextOut;
        const int n = s.v.count[size_t(y)];
        if (s.v.first[size_t(y)] + n - 1 > sy)
            break;
        for (int k = 0; k < n; ++k)
            s.use[size_t(k)] = s.rows.data() + size_t((s.v.first[size_t(y)] + k) % s.ring) * s.len;
        blendRows(s.use.data(), s.v.weight.data() + s.v.offset[size_t(y)], n, s.len, s.out.scanLine(y));
        ++s.nextOut;
    }
}

QImage RowShrinker::result() const
{
    return d->nextOut == d->to.height() && !d->out.isNull() ? d->out : QImage();
}
