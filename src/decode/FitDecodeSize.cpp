#include "decode/LoadPicture.h"

#include <cmath>

// On its own so that the format module can carry a copy.
QSize FitDecodeSize(QSize natural, QSize area)
{
    const double w = natural.width(), h = natural.height();
    const double W = area.width(), H = area.height();
    if (w <= 0 || h <= 0 || W <= 0 || H <= 0 || (W >= w && H >= h))
        return natural;
    // Same choice as the layout: fit the height when the width has room to
    // spare relative to it, otherwise fit the width. nearbyint rounds
    // halves to even.
    if (W / w >= H / h)
        return QSize(qMax(1, int(std::nearbyint(H / h * w))), int(H));
    return QSize(int(W), qMax(1, int(std::nearbyint(W / w * h))));
}
