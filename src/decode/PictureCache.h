#pragma once
// Decoded pictures kept for the display, and decoded ahead of time in the
// background so the next page is ready when the user steps to it.
//
// An entry is found by path, file size and change times, orientation switch
// and a decoded size at least as large as requested, so a file replaced on
// disk is always decoded again and a window that shrinks reuses what it has.
#include "decode/LoadPicture.h"
#include "decode/PictureData.h"

#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QStringList>
#include <QThreadPool>
#include <QWaitCondition>
#include <atomic>
#include <memory>

class PictureCache
{
public:
    // Bounds on the decoded pixels held (bytes) and on the number of entries.
    // The defaults hold the current spread and the next and previous ones
    // at screen size, with room to spare.
    explicit PictureCache(qint64 maxBytes = 64ll << 20, int maxEntries = 8);
    ~PictureCache(); // waits for a background decode to end
    PictureCache(const PictureCache &) = delete;
    PictureCache &operator=(const PictureCache &) = delete;

    // Same contract as LoadPictureFile (false leaves picture unchanged), but
    // served from the cache when possible. A background decode of the same
    // picture that is under way is waited for rather than repeated.
    bool get(const QString &path, const LoadOptions &options, PictureData &picture);

    // Decodes these files in the background, in the order given (put the
    // page the user is most likely to go to first). Replaces earlier
    // requests that have not started yet, and cancels background decodes
    // under way of files neither in `paths` nor in `keep` (the pages on
    // screen): a picture the user has skipped past no longer takes a
    // processor from the one asked for.
    void prefetch(const QStringList &paths, const LoadOptions &options, const QStringList &keep = {});

    // Drops every entry and pending request; background decodes under way
    // are cancelled.
    void clear();

    // Changes the bound on the decoded pixels held (bytes, at least one
    // picture is always kept).
    void setMaxBytes(qint64 maxBytes);
    qint64 maxBytes() const;

    int count() const;
    qint64 bytes() const;
    // True when a decode of the file is held (any size).
    bool holds(const QString &path) const;
    // Waits until the background decodes asked for so far have ended.
    void waitForBackground();

    // What the background decoding did, for tests and benchmarks.
    struct Counters {
        int started = 0;    // decodes begun, asked for or ahead of time
        int prefetched = 0; // of those, ahead of time
        int cancelled = 0;  // background decodes stopped because nobody wanted them
        int used = 0;       // pictures decoded ahead that were then asked for
    };
    Counters counters() const;

private:
    struct Stamp {
        qint64 size = -1;
        QDateTime modified;
        QDateTime changed;
        bool operator==(const Stamp &o) const
        {
            return size == o.size && modified == o.modified && changed == o.changed;
        }
    };
    struct Entry {
        QString path;
        Stamp stamp;
        bool autoRotate = false;
        QSize maxSize; // the area it was decoded for (empty: full size)
        PictureData picture;
        qint64 bytes = 0;
        quint64 lastUse = 0;
        bool prefetched = false; // decoded ahead, not yet asked for
    };
    struct Pending {
        QString path;
        Stamp stamp;
        bool autoRotate = false;
        QSize maxSize;
        bool done = false;
        bool ok = false;
        bool prefetched = false;
        std::atomic<bool> cancelled{false};
        PictureData picture;
    };

    static bool stampOf(const QString &path, Stamp &stamp);
    static bool covers(const Entry &e, const QSize &maxSize);
    static bool pendingCovers(const Pending &p, const QSize &maxSize);
    // Under mutex_:
    Entry *findLocked(const QString &path, const Stamp &stamp, const LoadOptions &options);
    std::shared_ptr<Pending> findPendingLocked(const QString &path, const Stamp &stamp,
                                               const LoadOptions &options);
    // Registers a decode about to start, so that others wait for it.
    std::shared_ptr<Pending> addPendingLocked(const QString &path, const Stamp &stamp,
                                              const LoadOptions &options);
    void insertLocked(const Pending &p);
    void evictLocked();
    bool wantedLocked(const QString &path, const LoadOptions &options) const;
    // Stops background decodes of files neither wanted nor kept.
    void cancelUnwantedLocked();
    // Drops pictures left behind, all but the latest few.
    void dropUnwantedLocked();

    // One prefetch request, on a pool thread.
    void prefetchOne(const QString &path, const LoadOptions &options);
    // Decodes one request (on any thread) and publishes the result.
    bool decode(const std::shared_ptr<Pending> &pending, const LoadOptions &options);

    qint64 maxBytes_;
    const int maxEntries_;
    mutable QMutex mutex_;
    QWaitCondition finished_;
    QList<Entry> entries_;
    QList<std::shared_ptr<Pending>> pending_;
    QStringList wanted_;
    QStringList keep_;
    LoadOptions wantedOptions_;
    Counters counters_;
    quint64 useCounter_ = 0;
    qint64 bytes_ = 0;
    QThreadPool pool_;     // pictures further ahead, at a lower priority
    QThreadPool nextPool_; // the next two pictures asked for, at the interface's
};
