#include "decode/PictureCache.h"

#include "decode/DecodeCancel.h"
#include "decode/EarlyPicture.h"
#include "platform/ProcessTuning.h"

#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <utility>

PictureCache::PictureCache(qint64 maxBytes, int maxEntries)
    : maxBytes_(maxBytes), maxEntries_(qMax(1, maxEntries))
{
    ReturnLargeBuffersWhenFreed();
    // Two workers for the next two pictures: with a key held, they decode
    // side by side on two cores, each at the interface's priority, since the
    // picture after next is the next one a step later. One more, at a lower
    // priority, for those further ahead and the one behind.
    pool_.setMaxThreadCount(1);
    nextPool_.setMaxThreadCount(2);
}

PictureCache::~PictureCache()
{
    clear(); // what is decoding in the background stops early
    pool_.waitForDone();
    nextPool_.waitForDone();
}

bool PictureCache::stampOf(const QString &path, Stamp &stamp)
{
    const QFileInfo fi(path);
    if (!fi.isFile())
        return false;
    stamp.size = fi.size();
    stamp.modified = fi.lastModified();
    // The status change time moves when a file is replaced by a rename,
    // even if the new file carries the old modification time.
    stamp.changed = fi.metadataChangeTime();
    return true;
}

bool PictureCache::covers(const Entry &e, const QSize &maxSize)
{
    const QSize need =
        maxSize.isEmpty() ? e.picture.naturalSize : FitDecodeSize(e.picture.naturalSize, maxSize);
    const QSize have = e.picture.image.size();
    if (have.width() >= need.width() && have.height() >= need.height())
        return true;
    // Decoded for an area at least as large: the file had no more to give
    // (a RAW's preview smaller than the screen, say).
    return e.maxSize.isEmpty() || (!maxSize.isEmpty() && e.maxSize.width() >= maxSize.width() &&
                                   e.maxSize.height() >= maxSize.height());
}

bool PictureCache::pendingCovers(const Pending &p, const QSize &maxSize)
{
    if (p.maxSize.isEmpty())
        return true;
    return !maxSize.isEmpty() && p.maxSize.width() >= maxSize.width() &&
           p.maxSize.height() >= maxSize.height();
}

PictureCache::Entry *PictureCache::findLocked(const QString &path, const Stamp &stamp,
                                              const LoadOptions &options)
{
    for (qsizetype i = 0; i < entries_.size();) {
        Entry &e = entries_[i];
        if (e.path != path) {
            ++i;
            continue;
        }
        if (!(e.stamp == stamp)) { // the file changed: what we hold is stale
            bytes_ -= e.bytes;
            entries_.removeAt(i);
            continue;
        }
        if (e.autoRotate == options.autoRotate && covers(e, options.maxSize)) {
            e.lastUse = ++useCounter_;
            return &e;
        }
        ++i;
    }
    return nullptr;
}

std::shared_ptr<PictureCache::Pending>
PictureCache::findPendingLocked(const QString &path, const Stamp &stamp, const LoadOptions &options)
{
    for (const auto &p : pending_) {
        if (p->path == path && p->stamp == stamp && p->autoRotate == options.autoRotate &&
            pendingCovers(*p, options.maxSize))
            return p;
    }
    return nullptr;
}

void PictureCache::insertLocked(const Pending &p)
{
    Entry e;
    e.path = p.path;
    e.stamp = p.stamp;
    e.autoRotate = p.autoRotate;
    e.maxSize = p.maxSize;
    e.picture = p.picture;
    e.bytes = p.picture.image.sizeInBytes();
    e.lastUse = ++useCounter_;
    e.prefetched = p.prefetched;
    // A larger decode of the same file makes smaller ones useless.
    entries_.removeIf([&](const Entry &o) {
        const bool drop = o.path == e.path &&
                          (!(o.stamp == e.stamp) || (o.autoRotate == e.autoRotate &&
                                                     o.picture.image.width() <= e.picture.image.width() &&
                                                     o.picture.image.height() <= e.picture.image.height()));
        if (drop)
            bytes_ -= o.bytes;
        return drop;
    });
    entries_.append(e);
    bytes_ += e.bytes;
    evictLocked();
}

void PictureCache::evictLocked()
{
    // Least recently used first, pictures nobody is about to look at before
    // those on screen or decoded ahead; the newest entry always stays.
    while (entries_.size() > 1 && (bytes_ > maxBytes_ || entries_.size() > maxEntries_)) {
        qsizetype oldest = -1;
        bool oldestWanted = true;
        for (qsizetype i = 0; i < entries_.size() - 1; ++i) {
            const Entry &e = entries_[i];
            const bool wanted = keep_.contains(e.path) || wanted_.contains(e.path);
            if (oldest < 0 || (oldestWanted && !wanted) ||
                (wanted == oldestWanted && e.lastUse < entries_[oldest].lastUse)) {
                oldest = i;
                oldestWanted = wanted;
            }
        }
        bytes_ -= entries_[oldest].bytes;
        entries_.removeAt(oldest);
    }
}

bool PictureCache::decode(const std::shared_ptr<Pending> &pending, const LoadOptions &options)
{
    PictureData picture;
    bool ok = false;
    {
        const DecodeCancelScope scope(&pending->cancelled);
        ok = LoadPictureFile(pending->path, picture, options); // never throws
    }
    QMutexLocker lock(&mutex_);
    if (pending->cancelled.load())
        ok = false; // whatever came out, nobody wants it
    pending->ok = ok;
    pending->done = true;
    if (ok) {
        pending->picture = picture;
        // The file may have been replaced while it was decoded; keep the
        // result only if it still matches what was stamped.
        Stamp now;
        try {
            if (stampOf(pending->path, now) && now == pending->stamp)
                insertLocked(*pending);
        } catch (...) {
            // Out of memory while filing the entry: the picture is still
            // handed to whoever waits for it, just not kept.
        }
    }
    // Whatever happened, those waiting for this decode must wake up.
    pending_.removeOne(pending);
    finished_.wakeAll();
    return ok;
}

bool PictureCache::get(const QString &path, const LoadOptions &options, PictureData &picture)
{
    Stamp stamp;
    if (!stampOf(path, stamp))
        return LoadPictureFile(path, picture, options); // not a plain file: no caching
    if (EarlyPicture::take(path, options, picture)) {   // decoded while the program started
        Pending early;
        early.path = path;
        early.stamp = stamp;
        early.autoRotate = options.autoRotate;
        early.maxSize = options.maxSize; // shrunk to this area: no use for a larger one
        early.picture = picture;
        QMutexLocker lock(&mutex_);
        insertLocked(early);
        return true;
    }

    QMutexLocker lock(&mutex_);
    for (;;) {
        if (Entry *e = findLocked(path, stamp, options)) {
            if (std::exchange(e->prefetched, false))
                ++counters_.used;
            picture = e->picture;
            return true;
        }
        const auto running = findPendingLocked(path, stamp, options);
        if (!running)
            break;
        // Asked for now: whatever it was, it is no longer to be cancelled.
        keep_ << path;
        while (!running->done)
            finished_.wait(&mutex_);
        if (running->cancelled.load())
            continue; // stopped before we asked: decode it here
        if (running->ok) {
            if (running->prefetched)
                ++counters_.used;
            for (Entry &e : entries_)
                if (e.path == path && e.stamp == stamp)
                    e.prefetched = false;
            picture = running->picture;
            return true;
        }
        return false; // the same file just failed to decode
    }
    const auto mine = addPendingLocked(path, stamp, options);
    lock.unlock();
    if (!decode(mine, options))
        return false;
    picture = mine->picture;
    return true;
}

std::shared_ptr<PictureCache::Pending> PictureCache::addPendingLocked(const QString &path, const Stamp &stamp,
                                                                      const LoadOptions &options)
{
    auto mine = std::make_shared<Pending>();
    mine->path = path;
    mine->stamp = stamp;
    mine->autoRotate = options.autoRotate;
    mine->maxSize = options.maxSize;
    pending_.append(mine);
    ++counters_.started;
    return mine;
}

bool PictureCache::wantedLocked(const QString &path, const LoadOptions &options) const
{
    return wanted_.contains(path) && wantedOptions_.autoRotate == options.autoRotate &&
           wantedOptions_.maxSize == options.maxSize;
}

void PictureCache::cancelUnwantedLocked()
{
    for (const auto &p : pending_) {
        if (p->prefetched && !p->cancelled.load() && !keep_.contains(p->path) &&
            !wantedLocked(p->path, LoadOptions{p->maxSize, p->autoRotate})) {
            p->cancelled = true;
            ++counters_.cancelled;
        }
    }
}

void PictureCache::dropUnwantedLocked()
{
    // The budget is for what lies ahead: of the pictures the user has left
    // behind, only the latest few stay, however much room there is.
    constexpr int kSpare = 2;
    QList<quint64> uses;
    for (const Entry &e : entries_)
        if (!keep_.contains(e.path) && !wanted_.contains(e.path))
            uses << e.lastUse;
    if (uses.size() <= kSpare)
        return;
    std::sort(uses.begin(), uses.end(), std::greater<>());
    const quint64 oldestKept = uses[kSpare - 1];
    entries_.removeIf([&](const Entry &e) {
        const bool drop = e.lastUse < oldestKept && !keep_.contains(e.path) && !wanted_.contains(e.path);
        if (drop)
            bytes_ -= e.bytes;
        return drop;
    });
}

void PictureCache::prefetch(const QStringList &paths, const LoadOptions &options, const QStringList &keep)
{
    pool_.clear(); // requests not yet started are superseded
    nextPool_.clear();
    {
        QMutexLocker lock(&mutex_);
        wanted_ = paths;
        keep_ = keep;
        wantedOptions_ = options;
        cancelUnwantedLocked();
        dropUnwantedLocked();
    }
    for (qsizetype i = 0; i < paths.size(); ++i) {
        // The first two are the pictures asked for next, often while they
        // still decode: they keep the interface's priority, so a busy
        // machine does not hold them back. The rest yield to the interface.
        const bool next = i < 2;
        (next ? nextPool_ : pool_).start([this, path = paths[i], options, next] {
            if (!next)
                LowerCurrentThreadPriority();
            // An exception escaping a pool thread would end the program.
            try {
                prefetchOne(path, options);
            } catch (...) {
            }
        });
    }
}

void PictureCache::prefetchOne(const QString &path, const LoadOptions &options)
{
    Stamp stamp;
    if (!stampOf(path, stamp))
        return;
    QMutexLocker lock(&mutex_);
    if (!wantedLocked(path, options) || findLocked(path, stamp, options) ||
        findPendingLocked(path, stamp, options))
        return;
    const auto mine = addPendingLocked(path, stamp, options);
    mine->prefetched = true;
    ++counters_.prefetched;
    lock.unlock();
    decode(mine, options);
}

void PictureCache::clear()
{
    pool_.clear();
    nextPool_.clear();
    QMutexLocker lock(&mutex_);
    wanted_.clear();
    keep_.clear();
    cancelUnwantedLocked();
    entries_.clear();
    bytes_ = 0;
}

void PictureCache::setMaxBytes(qint64 maxBytes)
{
    QMutexLocker lock(&mutex_);
    maxBytes_ = maxBytes;
    evictLocked();
}

qint64 PictureCache::maxBytes() const
{
    QMutexLocker lock(&mutex_);
    return maxBytes_;
}

bool PictureCache::holds(const QString &path) const
{
    QMutexLocker lock(&mutex_);
    return std::any_of(entries_.cbegin(), entries_.cend(), [&](const Entry &e) { return e.path == path; });
}

void PictureCache::waitForBackground()
{
    nextPool_.waitForDone();
    pool_.waitForDone();
}

PictureCache::Counters PictureCache::counters() const
{
    QMutexLocker lock(&mutex_);
    return counters_;
}

int PictureCache::count() const
{
    QMutexLocker lock(&mutex_);
    return int(entries_.size());
}

qint64 PictureCache::bytes() const
{
    QMutexLocker lock(&mutex_);
    return bytes_;
}
