#pragma once
// Reading a whole file that must stay below a size limit.
#include <QByteArray>
#include <QFile>

// Reads the rest of the open `file` into `out`; false when it holds more
// than `limit` bytes or a read fails (out is then cleared). Reads in
// blocks, so a small file never costs a buffer the size of the limit.
inline bool ReadAtMost(QFile &file, qint64 limit, QByteArray &out)
{
    out.clear();
    constexpr qint64 kBlock = 1 << 20;
    for (;;) {
        // What the file says it holds, and a little more in case it grew.
        const qint64 want = qMin(kBlock, qMax<qint64>(file.size() - file.pos(), 0) + 4096);
        const QByteArray block = file.read(qMin(want, limit + 1 - out.size()));
        if (block.isEmpty())
            break;
        out += block;
        if (out.size() > limit) {
            out.clear();
            return false;
        }
    }
    if (file.error() != QFileDevice::NoError) {
        out.clear();
        return false;
    }
    return true;
}
