// The picture cache never shows stale content, reuses larger decodes, and
// serves background decodes without decoding twice.
#include "decode/PictureCache.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace
{

QImage solid(QSize size, QRgb colour)
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

QRgb centre(const PictureData &p)
{
    return p.image.pixel(p.image.width() / 2, p.image.height() / 2);
}

} // namespace

TEST(PictureCache, ReplacedFileIsDecodedAgain)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/p.png";
    ASSERT_TRUE(solid({64, 48}, qRgb(255, 0, 0)).save(path));
    const QDateTime mtime = QFileInfo(path).lastModified();
    PictureCache cache;
    PictureData pic;
    ASSERT_TRUE(cache.get(path, {}, pic));
    EXPECT_EQ(centre(pic), qRgb(255, 0, 0));

    // Same size, same modification time, new pixels, written in place.
    ASSERT_TRUE(solid({64, 48}, qRgb(0, 0, 255)).save(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(mtime, QFileDevice::FileModificationTime));
    f.close();
    ASSERT_TRUE(cache.get(path, {}, pic));
    EXPECT_EQ(centre(pic), qRgb(0, 0, 255));

    // Replaced by a rename, as editors and copy tools do.
    ASSERT_TRUE(solid({30, 30}, qRgb(0, 255, 0)).save(tmp.path() + "/new.png"));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(tmp.path() + "/new.png", path));
    ASSERT_TRUE(cache.get(path, {}, pic));
    EXPECT_EQ(pic.naturalSize, QSize(30, 30));
    EXPECT_EQ(centre(pic), qRgb(0, 255, 0));
    EXPECT_EQ(cache.count(), 1); // stale entries went

    // Gone: a failure, and the picture is left alone.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(cache.get(path, {}, pic));
    EXPECT_EQ(pic.naturalSize, QSize(30, 30));
}

TEST(PictureCache, ReusesLargeEnoughDecodes)
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + "/big.jpg";
    ASSERT_TRUE(solid({1600, 1200}, qRgb(200, 100, 50)).save(path, "JPEG", 90));
    PictureCache cache;
    PictureData pic;
    ASSERT_TRUE(cache.get(path, {QSize(800, 800), true}, pic));
    EXPECT_EQ(pic.image.size(), QSize(800, 600));
    EXPECT_EQ(pic.naturalSize, QSize(1600, 1200));

    // Smaller window: the cached decode is large enough.
    ASSERT_TRUE(cache.get(path, {QSize(400, 400), true}, pic));
    EXPECT_EQ(pic.image.size(), QSize(800, 600));
    EXPECT_EQ(cache.count(), 1);

    // Larger window: decoded again, and the smaller decode is dropped.
    ASSERT_TRUE(cache.get(path, {QSize(1000, 1000), true}, pic));
    EXPECT_EQ(pic.image.size(), QSize(1000, 750));
    EXPECT_EQ(cache.count(), 1);

    // A different orientation switch is a different picture.
    ASSERT_TRUE(cache.get(path, {QSize(1000, 1000), false}, pic));
    EXPECT_FALSE(pic.orientationApplied);
    EXPECT_EQ(cache.count(), 2);
}

TEST(PictureCache, BoundedAndPrefetched)
{
    QTemporaryDir tmp;
    QStringList paths;
    for (int i = 0; i < 12; ++i) {
        paths << tmp.path() + QStringLiteral("/%1.png").arg(i);
        ASSERT_TRUE(solid({100, 100}, qRgb(i * 20, 0, 0)).save(paths.last()));
    }
    // Room for three 100×100 pictures.
    PictureCache cache(3 * 100 * 100 * 4, 10);
    cache.prefetch(paths, {});
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < paths.size(); ++i) {
            PictureData pic;
            ASSERT_TRUE(cache.get(paths[i], {}, pic));
            EXPECT_EQ(centre(pic), qRgb(i * 20, 0, 0)) << i;
            cache.prefetch({paths[(i + 1) % paths.size()]}, {});
        }
    }
    EXPECT_LE(cache.count(), 3);
    EXPECT_LE(cache.bytes(), 3 * 100 * 100 * 4);
}

TEST(PictureCache, KeepsARawPreviewSmallerThanTheArea)
{
    // A RAW's preview is all it gives short of developing it, even when it
    // is smaller than the area shown: asked for again, it comes from the
    // cache instead of being read again on every step.
    const QString path = QStringLiteral(GD_TESTDATA "/formats/preview.dng");
    PictureCache cache;
    PictureData first, again, smaller;
    ASSERT_TRUE(cache.get(path, {QSize(400, 400), true}, first));
    EXPECT_EQ(first.naturalSize, QSize(128, 192));
    EXPECT_EQ(first.image.size(), QSize(64, 96));
    ASSERT_TRUE(cache.get(path, {QSize(400, 400), true}, again));
    EXPECT_EQ(again.image.cacheKey(), first.image.cacheKey());
    ASSERT_TRUE(cache.get(path, {QSize(300, 200), true}, smaller));
    EXPECT_EQ(smaller.image.cacheKey(), first.image.cacheKey());
    EXPECT_EQ(cache.count(), 1);
}

namespace
{
// A photo-sized JPEG whose full-size decode takes long enough to be
// interrupted: the user has moved on long before it would end.
QString writeLargeJpeg(const QString &folder)
{
    QImage img(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            line[x] = qRgb((x * 7 + y) & 0xFF, (x ^ y) & 0xFF, (y * 3) & 0xFF);
    }
    const QString path = folder + QStringLiteral("/large.jpg");
    return img.save(path, "JPEG", 95) ? path : QString();
}

void waitUntilStarted(const PictureCache &cache, int prefetched)
{
    for (int i = 0; i < 10000 && cache.counters().prefetched < prefetched; ++i)
        QThread::msleep(1);
}
} // namespace

TEST(PictureCache, DecodesSkippedPastAreCancelledThoseOnScreenAreNot)
{
    QTemporaryDir tmp;
    const QString large = writeLargeJpeg(tmp.path());
    ASSERT_FALSE(large.isEmpty());
    const QString small = tmp.path() + QStringLiteral("/small.png");
    ASSERT_TRUE(solid({100, 100}, qRgb(0, 200, 0)).save(small));

    PictureCache cache;
    // Skipped past: the decode under way stops and its result is not kept.
    cache.prefetch({large}, {});
    waitUntilStarted(cache, 1);
    cache.prefetch({small}, {});
    PictureData pic;
    ASSERT_TRUE(cache.get(small, {}, pic));
    EXPECT_EQ(centre(pic), qRgb(0, 200, 0));
    cache.waitForBackground();
    PictureCache::Counters c = cache.counters();
    EXPECT_EQ(c.cancelled, 1);
    EXPECT_FALSE(cache.holds(large));
    EXPECT_TRUE(cache.holds(small));

    // A cancelled decode is no failure: asked for later, the picture comes.
    ASSERT_TRUE(cache.get(large, {QSize(600, 400), false}, pic));
    EXPECT_EQ(pic.image.size(), QSize(600, 400));
    EXPECT_EQ(pic.naturalSize, QSize(6000, 4000));

    // The page now on screen keeps its decode, and the wait for it counts
    // as a picture decoded ahead that was used.
    cache.clear();
    const PictureCache::Counters before = cache.counters();
    cache.prefetch({large}, {});
    waitUntilStarted(cache, before.prefetched + 1);
    cache.prefetch({}, {}, {large});
    ASSERT_TRUE(cache.get(large, {}, pic));
    EXPECT_EQ(pic.image.size(), QSize(6000, 4000));
    cache.waitForBackground();
    c = cache.counters();
    EXPECT_EQ(c.cancelled, 1);
    EXPECT_EQ(c.used, before.used + 1);
    EXPECT_EQ(c.started, before.started + 1); // no second decode of it
}

TEST(PictureCache, PicturesLeftBehindAreDroppedWhateverTheRoom)
{
    QTemporaryDir tmp;
    QStringList paths;
    for (int i = 0; i < 10; ++i) {
        paths << tmp.path() + QStringLiteral("/%1.png").arg(i);
        ASSERT_TRUE(solid({50, 50}, qRgb(0, 0, i * 20)).save(paths.last()));
    }
    PictureCache cache(256ll << 20, 64); // room for all of them
    for (int i = 0; i < paths.size(); ++i) {
        PictureData pic;
        ASSERT_TRUE(cache.get(paths[i], {}, pic));
        cache.prefetch({paths[(i + 1) % paths.size()]}, {}, {paths[i]});
        cache.waitForBackground();
    }
    // The one on screen, the one ahead and the latest two left behind.
    EXPECT_EQ(cache.count(), 4);
    for (int i : {7, 8, 9, 0})
        EXPECT_TRUE(cache.holds(paths[i])) << i;
}
