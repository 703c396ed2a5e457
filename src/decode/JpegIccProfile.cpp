#include "decode/ColourProfile.h"

#include <QList>
#include <cstring>

// Read for every JPEG, so it lives apart from the conversion: finding no
// profile must not load the colour library.
QByteArray ReadJpegIccProfile(QByteArrayView jpeg)
{
    const auto *p = reinterpret_cast<const uchar *>(jpeg.data());
    const qsizetype n = jpeg.size();
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8)
        return {};
    static constexpr char kTag[] = "ICC_PROFILE"; // 12 bytes with its zero
    QList<QByteArray> chunks;
    int count = 0;
    qsizetype o = 2;
    while (o + 4 <= n) {
        if (p[o] != 0xFF)
            return {};
        const uchar m = p[o + 1];
        if (m == 0xFF) {
            ++o;
            continue;
        }
        if (m == 0xDA || m == 0xD9)
            break; // profiles come before the picture data
        if (m == 0xD8 || m == 0x01 || (m >= 0xD0 && m <= 0xD7)) {
            o += 2;
            continue;
        }
        const qsizetype len = qsizetype(p[o + 2]) << 8 | p[o + 3];
        if (len < 2 || o + 2 + len > n)
            return {};
        if (m == 0xE2 && len >= 2 + 14 && std::memcmp(p + o + 4, kTag, 12) == 0) {
            const int seq = p[o + 16], total = p[o + 17];
            if (total == 0 || seq == 0 || seq > total || (count && total != count))
                return {};
            count = total;
            if (chunks.size() < total)
                chunks.resize(total);
            if (!chunks[seq - 1].isEmpty())
                return {}; // the same chunk twice
            chunks[seq - 1] = QByteArray(reinterpret_cast<const char *>(p + o + 18), len - 16);
        }
        o += 2 + len;
    }
    QByteArray icc;
    for (const QByteArray &c : chunks) {
        if (c.isEmpty())
            return {}; // a chunk is missing
        icc += c;
    }
    return icc;
}
