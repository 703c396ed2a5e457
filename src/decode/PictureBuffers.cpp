#include "decode/PictureBuffers.h"

#include "platform/LargeBlocks.h"

#include <QMutex>
#include <vector>

namespace
{

// Smaller pictures are cheap to allocate; larger ones (a picture at full
// size) are not kept, so that they never stay in memory unused.
constexpr qint64 kMinBlock = 1 << 20;
constexpr qint64 kMaxBlock = 32ll << 20;
// Blocks held for reuse at most: a few screen-sized pictures.
constexpr qint64 kMaxSpare = 32ll << 20;
// Blocks come in steps of this size (AllocateLargeBlock): one this much
// larger than asked for still fits.
constexpr qint64 kSlack = 2 << 20;
// Room in front of the pixels for the block's capacity; keeps them aligned.
constexpr size_t kHeader = 64;

struct Pool {
    QMutex mutex;
    std::vector<void *> spare; // oldest first
    qint64 spareBytes = 0;
    PictureBufferCounters counters;
};

Pool &pool()
{
    static Pool *p = new Pool; // never destroyed: images may outlive static destruction
    return *p;
}

// The pixels' room in a block (the block is kHeader bytes more).
qint64 capacityOf(void *block)
{
    return *static_cast<qint64 *>(block);
}

void freeBlock(void *block)
{
    FreeLargeBlock(block, size_t(capacityOf(block)) + kHeader);
}

void release(void *block)
{
    Pool &p = pool();
    const qint64 bytes = capacityOf(block);
    QMutexLocker lock(&p.mutex);
    p.spare.push_back(block);
    p.spareBytes += bytes;
    while (p.spareBytes > kMaxSpare) {
        void *oldest = p.spare.front();
        p.spare.erase(p.spare.begin());
        p.spareBytes -= capacityOf(oldest);
        freeBlock(oldest);
    }
    p.counters.spareBytes = p.spareBytes;
}

// A held block of at least `bytes` and not much more, else a new one; null
// when out of memory.
void *acquire(qint64 bytes)
{
    Pool &p = pool();
    {
        QMutexLocker lock(&p.mutex);
        for (size_t i = p.spare.size(); i-- > 0;) {
            const qint64 have = capacityOf(p.spare[i]);
            if (have >= bytes && have - bytes <= bytes / 4 + kSlack) {
                void *block = p.spare[i];
                p.spare.erase(p.spare.begin() + qsizetype(i));
                p.spareBytes -= have;
                p.counters.spareBytes = p.spareBytes;
                ++p.counters.reused;
                return block;
            }
        }
        ++p.counters.fresh;
    }
    size_t capacity = 0;
    void *block = AllocateLargeBlock(kHeader + size_t(bytes), capacity);
    if (block)
        *static_cast<qint64 *>(block) = qint64(capacity - kHeader);
    return block;
}

} // namespace

QImage NewPictureImage(QSize size, QImage::Format format)
{
    if (size.isEmpty())
        return QImage();
    const bool kept = format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
                      format == QImage::Format_ARGB32_Premultiplied;
    const qint64 bytesPerLine = qint64(size.width()) * 4;
    const qint64 bytes = bytesPerLine * size.height();
    if (!kept || bytes < kMinBlock || bytes > kMaxBlock)
        return QImage(size, format);
    void *block = acquire(bytes);
    if (!block)
        return QImage();
    QImage image(static_cast<uchar *>(block) + kHeader, size.width(), size.height(), bytesPerLine, format,
                 release, block);
    if (image.isNull())
        release(block);
    return image;
}

PictureBufferCounters PictureBuffers()
{
    Pool &p = pool();
    QMutexLocker lock(&p.mutex);
    return p.counters;
}

void DropSparePictureBuffers()
{
    Pool &p = pool();
    QMutexLocker lock(&p.mutex);
    for (void *block : p.spare)
        freeBlock(block);
    p.spare.clear();
    p.spareBytes = 0;
    p.counters.spareBytes = 0;
}
